// The hidden main frame: a top-level window titled "KovadoDeskLink" that is
// never shown. It holds the view, parents the view's window, receives the tray
// menu's commands and offers them to the view first, and ends the program
// when it is closed.
#pragma once
#include "bridge/BridgeView.h"
#include "platform/win32/Win32Api.h"

namespace kovado {

inline constexpr wchar_t kFrameTitle[] = L"KovadoDeskLink";

class CMainFrame {
public:
    // Constructs the frame with its view (the view's constructor does the
    // program's whole set-up) and creates the frame's window. nullptr when the
    // window could not be created; the frame has then ended itself.
    static CMainFrame* Create(platform::Services& services);
    // A frame whose window went while a menu, a modal dialog, a message box
    // or a send of this thread was still running is deleted here, once the
    // message loop has ended.
    static void DeleteClosed();

    HWND m_hWnd = nullptr;
    CBridgeView m_view;

private:
    explicit CMainFrame(platform::Services& services) : m_view(services) {}
    ~CMainFrame() = default;

    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    int OnCreate();
    void OnCommand(UINT id);
    void OnInitMenuPopup(HMENU menu);
    void OnClose();
};

}  // namespace kovado
