#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

constexpr UINT kSwHide = 0;
constexpr UINT kSwShowNormal = 1;
constexpr UINT kSwShow = 5;

class IProcess {
public:
    virtual ~IProcess() = default;
    // Starts a program as WinExec does: returns once the started program first
    // waits for input, or after a time-out. Above 31 on success.
    virtual UINT WinExec(const std::string& commandLine, UINT showCommand) = 0;
    // The same, also telling which process was started (0 when unknown), so
    // that its windows can be told from other programs'.
    virtual UINT Start(const std::string& commandLine, UINT showCommand, DWORD& processId) {
        processId = 0;
        return WinExec(commandLine, showCommand);
    }
};

}  // namespace kovado::platform
