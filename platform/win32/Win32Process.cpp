#include "platform/win32/Win32Process.h"

#include <windows.h>

#include <vector>

namespace kovado::platform {

namespace {
// How long WinExec itself waits for a started program to become idle.
constexpr ::DWORD kInputIdleMs = 30000;
}  // namespace

UINT Win32Process::WinExec(const std::string& commandLine, UINT showCommand) {
    return ::WinExec(commandLine.c_str(), showCommand);
}

// What WinExec does (the same search for the program, the show command, the
// wait until the program first waits for input), keeping the process id.
UINT Win32Process::Start(const std::string& commandLine, UINT showCommand, DWORD& processId) {
    processId = 0;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        // WinExec's codes for the usual failures; any value up to 31 means one.
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND: return 2;
            case ERROR_PATH_NOT_FOUND: return 3;
            case ERROR_BAD_EXE_FORMAT: return 11;
            default: return 0;
        }
    }
    WaitForInputIdle(process.hProcess, kInputIdleMs);
    processId = static_cast<DWORD>(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 33;
}

}  // namespace kovado::platform
