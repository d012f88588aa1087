#include "platform/win32/Win32Keys.h"

#include <windows.h>
// windows.h maps the name to its A/W variant; the seam's operation keeps it.
#undef MapVirtualKey

namespace kovado::platform {

UINT Win32Keys::MapVirtualKey(UINT code, UINT mapType) { return MapVirtualKeyA(code, mapType); }

void Win32Keys::KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags) {
    keybd_event(virtualKey, scanCode, flags, 0);
}

WindowHandle Win32Keys::FocusWindow() {
    return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

bool Win32Keys::IsForeignTabbedWindow(WindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    ::DWORD process = 0;
    if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, &process) == 0 ||
        process == GetCurrentProcessId()) {
        return false;
    }
    // A property sheet keeps its tab strip as a direct child.
    return FindWindowExA(hwnd, nullptr, "SysTabControl32", nullptr) != nullptr;
}

}  // namespace kovado::platform
