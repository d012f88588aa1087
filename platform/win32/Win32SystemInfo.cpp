#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

namespace kovado::platform {

bool Win32SystemInfo::Version(DWORD& major, DWORD& minor) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) {
        return false;
    }
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    return true;
}

bool Win32SystemInfo::IsLeadByte(BYTE byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace kovado::platform
