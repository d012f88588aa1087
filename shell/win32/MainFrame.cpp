#include "shell/win32/MainFrame.h"

#include "settings/CommandUi.h"
#include "shell/CommandRouting.h"
#include "shell/FrameEnd.h"
#include "shell/FrameStart.h"
#include "shell/NestedLoop.h"
#include "shell/ShellIds.h"

namespace kovado {

namespace {

const wchar_t kFrameClass[] = L"KovadoDeskLinkFrame";

// One entry of an open menu, as the view's update handlers see it.
struct MenuEntryUi : ICommandUi {
    MenuEntryUi(HMENU menu, UINT position) : m_menu(menu), m_position(position) {}
    void SetCheck(bool checked) override {
        CheckMenuItem(m_menu, m_position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    void Enable(bool enabled) override {
        EnableMenuItem(m_menu, m_position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    HMENU m_menu;
    UINT m_position;
};

// A plain class: no class style, cursor, background or icon.
bool RegisterFrameClass(WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kFrameClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

CMainFrame* CMainFrame::Create(platform::Services& services) {
    auto* frame = new CMainFrame(services);
    if (!RegisterFrameClass(WindowProcedure)) {
        delete frame;
        return nullptr;
    }
    // A failed creation has destroyed the window, and with it the frame.
    HWND hwnd = CreateWindowExW(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleW(nullptr), frame);
    return hwnd ? frame : nullptr;
}

LRESULT CALLBACK CMainFrame::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* frame = static_cast<CMainFrame*>(create->lpCreateParams);
        frame->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!frame) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: the frame ends with it, the view first, unless
        // a loop or a send running beneath still uses them.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        frame->m_hWnd = nullptr;
        EndFrame([frame] { delete frame; }, [] { PostQuitMessage(0); });
        return result;
    }
    return frame->WindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_SETFOCUS:
            if (m_view.m_hWnd) SetFocus(reinterpret_cast<HWND>(m_view.m_hWnd));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        default:
            return DefWindowProcW(m_hWnd, message, wParam, lParam);
    }
}

void CMainFrame::DeleteClosed() { DeleteEndedFrame(); }

// The frame is destroyed, and the view's window with it, whose end posts the
// quit request. An open tray menu is closed first; a modal dialog, the file
// chooser or a message box ends when its loop meets the quit request, and a
// send to another program returns by itself; the objects go after them.
void CMainFrame::OnClose() {
    if (NestedLoop::Depth() > 0) EndMenu();
    DestroyWindow(m_hWnd);
}

int CMainFrame::OnCreate() {
    return StartFrame(m_view, reinterpret_cast<platform::WindowHandle>(m_hWnd)) ? 0 : -1;
}

void CMainFrame::OnCommand(UINT id) {
    if (OfferCommandToView(m_view, id)) return;
    if (id == kCmdAppExit) SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

// Asked while a menu opens: the view sets its entries' check marks and
// enabled states; entries it does not know stay as they are.
void CMainFrame::OnInitMenuPopup(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1)) continue;  // a submenu or a separator's none
        MenuEntryUi ui(menu, static_cast<UINT>(i));
        OfferCommandUiToView(m_view, id, ui);
    }
}

}  // namespace kovado
