#include "platform/win32/Win32WindowCloser.h"

#include <windows.h>

namespace kovado::platform {

WindowHandle Win32WindowCloser::Find(const std::string& title) {
    return reinterpret_cast<WindowHandle>(FindWindowA(nullptr, title.c_str()));
}

void Win32WindowCloser::SendClose(WindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    // The process is taken hold of before the close, while the window still
    // names it: once its close handling returns, the program still has to leave
    // its message loop and end before its files are free.
    ::DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    HANDLE process = processId != 0 ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    if (process != nullptr) {
        WaitForSingleObject(process, kProgramEndWaitMs);
        CloseHandle(process);
    }
}

}  // namespace kovado::platform
