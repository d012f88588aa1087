// The Tambrelo program: an 8-bit-character dialog program whose one modal
// dialog does the whole job while it initialises and then posts the quit
// request, so that the dialog's loop ends as soon as it starts.
#include <windows.h>

#include "resource.h"
#include "platform/win32/Win32Keys.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32Wave.h"
#include "tools/audio/TambreloDlg.h"
#include "tools/win32/ToolClock.h"

namespace kovado {
namespace {

// The Windows side of the dialog: the system menu, the icon and the handlers;
// the job itself is CTambreloDlg's.
struct CTambreloWindow {
    platform::Win32SystemInfo m_system;
    platform::Win32Registry m_registry;
    platform::Win32WaveDevices m_wave;
    platform::Win32Keys m_keys;
    platform::Win32Process m_process;
    CToolClock m_clock;
    CTambreloDlg m_dlg{{&m_system, &m_registry, &m_wave, &m_keys, &m_process, &m_clock}};
    HICON m_hIcon = nullptr;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void AddAboutItem(HWND dialog) {
    char text[64] = {};
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu != nullptr &&
        LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof(text)) > 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
    }
}

void PaintIconic(HWND dialog, HICON icon) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(dialog, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK TambreloProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<CTambreloWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            window = reinterpret_cast<CTambreloWindow*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            AddAboutItem(dialog);
            SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window->m_hIcon));
            SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window->m_hIcon));
            window->m_dlg.DoJob();
            PostQuitMessage(0);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), dialog,
                                AboutProc, 0);
                return TRUE;
            }
            return FALSE;
        case WM_PAINT:
            if (window != nullptr && IsIconic(dialog)) {
                PaintIconic(dialog, window->m_hIcon);
                return TRUE;
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            return window != nullptr ? reinterpret_cast<INT_PTR>(window->m_hIcon) : 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BUTTON1 && window != nullptr) {
                window->m_dlg.ReadDeviceNames();
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

class CTambreloApp {
public:
    // Runs the dialog modally; zero means the program ends with the dialog.
    BOOL InitInstance() {
        CTambreloWindow window;
        HINSTANCE instance = GetModuleHandleA(nullptr);
        window.m_hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TAMBRELO_DIALOG), nullptr, TambreloProc,
                        reinterpret_cast<LPARAM>(&window));
        return FALSE;
    }
};

}  // namespace kovado

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kovado::CTambreloApp app;
    app.InitInstance();
    return 0;
}
