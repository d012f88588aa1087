// The Windows version (GetVersionExA) and the ANSI code page's lead bytes.
#pragma once
#include "platform/SystemInfo.h"

namespace kovado::platform {

class Win32SystemInfo : public ISystemInfo {
public:
    bool Version(DWORD& major, DWORD& minor) override;
    bool IsLeadByte(BYTE byte) override;
};

}  // namespace kovado::platform
