#include "shell/win32/BridgeApp.h"

#include "platform/win32/Win32Dialogs.h"
#include "shell/win32/MainFrame.h"

namespace kovado {

bool CBridgeApp::InitInstance() {
    // Any top-level window with this title counts, whatever its class.
    m_bOtherInstance = FindWindowW(nullptr, kFrameTitle) != nullptr;
    if (m_bOtherInstance) return false;
    CMainFrame* frame = CMainFrame::Create(m_services);
    if (!frame) return false;
    m_hMainWnd = frame->m_hWnd;
    ShowWindow(m_hMainWnd, SW_HIDE);
    UpdateWindow(m_hMainWnd);
    return true;
}

int CBridgeApp::Run() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // A dialog's keyboard messages (Esc, Tab, Enter) go to it first.
        HWND active = GetActiveWindow();
        if (platform::IsDialogWindow(reinterpret_cast<platform::WindowHandle>(active)) &&
            IsDialogMessageW(active, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CMainFrame::DeleteClosed();
    return static_cast<int>(msg.wParam);
}

int RunBridgeApp(platform::Services& services) {
    CBridgeApp app(services);
    if (!app.InitInstance()) return app.m_bOtherInstance ? 0 : 1;
    return app.Run();
}

}  // namespace kovado
