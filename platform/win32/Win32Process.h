// Starting programs on Windows with WinExec.
#pragma once
#include "platform/Process.h"

namespace kovado::platform {

class Win32Process : public IProcess {
public:
    UINT WinExec(const std::string& commandLine, UINT showCommand) override;
};

}  // namespace kovado::platform
