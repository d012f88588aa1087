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

namespace {

bool HasTabStrip(HWND window) {
    // A property sheet keeps its tab strip as a direct child.
    return FindWindowExA(window, nullptr, "SysTabControl32", nullptr) != nullptr;
}

struct ProcessWindowSearch {
    ::DWORD process;
    HWND found;
};

BOOL CALLBACK TakeTabbedWindowOf(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ProcessWindowSearch*>(context);
    ::DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window) && HasTabStrip(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// SetForegroundWindow from a thread that shares the foreground thread's input
// state counts as that thread's own call.
bool SetForegroundAttached(HWND target) {
    HWND foreground = GetForegroundWindow();
    ::DWORD self = GetCurrentThreadId();
    ::DWORD owner = foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    bool attached = owner != 0 && owner != self && AttachThreadInput(self, owner, TRUE);
    SetForegroundWindow(target);
    BringWindowToTop(target);
    if (attached) {
        AttachThreadInput(self, owner, FALSE);
    }
    return GetForegroundWindow() == target;
}

}  // namespace

bool Win32Keys::IsForeignTabbedWindow(WindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    ::DWORD process = 0;
    if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, &process) == 0 ||
        process == GetCurrentProcessId()) {
        return false;
    }
    return HasTabStrip(hwnd);
}

WindowHandle Win32Keys::FindTabbedWindowOf(DWORD processId) {
    if (processId == 0) {
        return 0;
    }
    ProcessWindowSearch search{static_cast<::DWORD>(processId), nullptr};
    EnumWindows(TakeTabbedWindowOf, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<WindowHandle>(search.found);
}

bool Win32Keys::BringToForeground(WindowHandle window) {
    HWND target = reinterpret_cast<HWND>(window);
    if (!IsWindow(target)) {
        return false;
    }
    if (GetForegroundWindow() == target) {
        return true;
    }
    ::DWORD process = 0;
    GetWindowThreadProcessId(target, &process);
    // Should the panel try to come forward by itself, let it.
    AllowSetForegroundWindow(process);
    if (IsIconic(target)) {
        ShowWindow(target, SW_RESTORE);
    }
    if (SetForegroundAttached(target)) {
        return true;
    }
    // The program that made the last input event may set the foreground. A
    // mouse move by nothing is input that reaches no window as a key or click.
    INPUT nudge{};
    nudge.type = INPUT_MOUSE;
    nudge.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &nudge, sizeof(nudge));
    return SetForegroundAttached(target);
}

void Win32Keys::RequestClose(WindowHandle window) {
    PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
}

}  // namespace kovado::platform
