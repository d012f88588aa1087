#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace kovado::platform {
namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle Handle(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

const wchar_t kModalProperty[] = L"KovadoModalDialog";

// Keeps a list box's horizontal extent at the width of its widest line.
LRESULT CALLBACK WideningListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if ((message == LB_INSERTSTRING || message == LB_ADDSTRING) && result >= 0 && lParam != 0) {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        HDC dc = GetDC(list);
        auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        LONG wanted = size.cx + 2 * GetSystemMetrics(SM_CXEDGE);
        if (wanted > static_cast<LONG>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)))
            SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(wanted), 0);
    } else if (message == LB_RESETCONTENT) {
        SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(list, WideningListProcedure, 0);
    }
    return result;
}

BOOL CALLBACK WidenLists(HWND child, LPARAM) {
    wchar_t name[16] = L"";
    GetClassNameW(child, name, 16);
    // The scroll bar style bits follow whether a bar is shown at the moment,
    // so every list box is widened; without a bar the extent does nothing.
    if (lstrcmpiW(name, L"ListBox") == 0)
        SetWindowSubclass(child, WideningListProcedure, 0, 0);
    return TRUE;
}

IWindowClient* ClientOf(HWND dialog) {
    return reinterpret_cast<IWindowClient*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        EnumChildWindows(dialog, WidenLists, 0);
        if (IWindowClient* client = ClientOf(dialog))
            client->WindowProc(WM_INITDIALOG, Handle(dialog), 0);
        return TRUE;
    }
    IWindowClient* client = ClientOf(dialog);
    if (!client) return FALSE;
    switch (message) {
        case WM_COMMAND:
            client->WindowProc(WM_COMMAND, wParam, lParam);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(dialog, DWLP_USER, 0);
            RemovePropW(dialog, kModalProperty);
            return FALSE;
        default:
            return FALSE;
    }
}

// The mark lets End tell a modal dialog from a modeless one.
INT_PTR CALLBACK ModalProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetPropW(dialog, kModalProperty, dialog);
    return DialogProcedure(dialog, message, wParam, lParam);
}

}  // namespace

bool IsDialogWindow(WindowHandle window) {
    // The dialog class is the predefined atom 32770.
    return window != 0 && GetClassLongPtrW(Hwnd(window), GCW_ATOM) == 32770;
}

WindowHandle Win32Dialogs::CreateModeless(UINT resource, IWindowClient* client) {
    return Handle(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                     nullptr, DialogProcedure, reinterpret_cast<LPARAM>(client)));
}

std::intptr_t Win32Dialogs::RunModal(UINT resource, IWindowClient* client) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), nullptr,
                           ModalProcedure, reinterpret_cast<LPARAM>(client));
}

void Win32Dialogs::End(WindowHandle dialog, std::intptr_t result) {
    HWND hwnd = Hwnd(dialog);
    if (!IsWindow(hwnd)) return;
    if (GetPropW(hwnd, kModalProperty))
        EndDialog(hwnd, result);
    else
        DestroyWindow(hwnd);
}

WindowHandle Win32Dialogs::Item(WindowHandle dialog, UINT id) {
    return Handle(GetDlgItem(Hwnd(dialog), static_cast<int>(id)));
}

void Win32Dialogs::Show(WindowHandle window, bool visible) {
    ShowWindow(Hwnd(window), visible ? SW_SHOW : SW_HIDE);
}

bool Win32Dialogs::IsVisible(WindowHandle window) { return IsWindowVisible(Hwnd(window)) != 0; }

bool Win32Dialogs::AskSavePath(std::wstring& path) {
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.lpstrFile = name.data();
    request.nMaxFile = static_cast<::DWORD>(name.size());
    // Every settings path is relative to the current directory, which the
    // chooser would otherwise move to the folder the user picked.
    request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&request)) return false;
    path = name.data();
    return !path.empty();
}

void Win32Dialogs::ShowError(WindowHandle owner, const std::wstring& text) {
    // Not the frame's title: the single-instance check and KovadoRemove look
    // for a window so titled.
    MessageBoxW(Hwnd(owner), text.c_str(), kErrorBoxTitle, MB_OK | MB_ICONERROR);
}

}  // namespace kovado::platform
