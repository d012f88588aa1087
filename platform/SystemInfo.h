// What a program asks about the system it runs on: the version, and the ANSI
// code page's two-byte characters.
#pragma once
#include "platform/Types.h"

namespace kovado::platform {

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    // GetVersionExA's major and minor version; false when the query fails.
    virtual bool Version(DWORD& major, DWORD& minor) = 0;
    // The byte begins a two-byte character in the system's ANSI code page.
    virtual bool IsLeadByte(BYTE byte) = 0;
};

}  // namespace kovado::platform
