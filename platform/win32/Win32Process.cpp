#include "platform/win32/Win32Process.h"

#include <windows.h>

namespace kovado::platform {

UINT Win32Process::WinExec(const std::string& commandLine, UINT showCommand) {
    return ::WinExec(commandLine.c_str(), showCommand);
}

}  // namespace kovado::platform
