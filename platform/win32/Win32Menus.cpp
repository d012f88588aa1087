#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Menus.h"

#include <vector>

namespace kovado::platform {
namespace {

HMENU Native(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

}  // namespace

MenuHandle Win32Menus::Load(UINT resource) {
    return reinterpret_cast<MenuHandle>(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource)));
}

MenuHandle Win32Menus::SubMenu(MenuHandle menu, int position) {
    return reinterpret_cast<MenuHandle>(GetSubMenu(Native(menu), position));
}

void Win32Menus::SetDefaultItem(MenuHandle menu, UINT item, bool byPosition) {
    SetMenuDefaultItem(Native(menu), item, byPosition ? TRUE : FALSE);
}

// Only the text changes: an item that opens a submenu keeps it.
bool Win32Menus::SetLabel(MenuHandle menu, UINT item, bool byPosition, const std::wstring& label) {
    std::vector<wchar_t> text(label.begin(), label.end());
    text.push_back(L'\0');
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    return SetMenuItemInfoW(Native(menu), item, byPosition ? TRUE : FALSE, &info) != 0;
}

bool Win32Menus::Remove(MenuHandle menu, UINT command) {
    return RemoveMenu(Native(menu), command, MF_BYCOMMAND) != 0;
}

UINT Win32Menus::ItemCommand(MenuHandle menu, int position) {
    return GetMenuItemID(Native(menu), position);
}

void Win32Menus::BringToForeground(WindowHandle window) { SetForegroundWindow(Hwnd(window)); }

void Win32Menus::TrackAtCursor(MenuHandle popup, WindowHandle owner) {
    POINT at{};
    GetCursorPos(&at);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(Hwnd(owner));
    TrackPopupMenu(Native(popup), 0, at.x, at.y, 0, Hwnd(owner), nullptr);
}

void Win32Menus::Destroy(MenuHandle menu) { DestroyMenu(Native(menu)); }

}  // namespace kovado::platform
