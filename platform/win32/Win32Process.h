// Starting programs on Windows: WinExec, and the same by CreateProcess where
// the caller needs the process id.
#pragma once
#include "platform/Process.h"

namespace kovado::platform {

class Win32Process : public IProcess {
public:
    UINT WinExec(const std::string& commandLine, UINT showCommand) override;
    UINT Start(const std::string& commandLine, UINT showCommand, DWORD& processId) override;
};

}  // namespace kovado::platform
