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
};

}  // namespace kovado::platform
