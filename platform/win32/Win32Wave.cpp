#include "platform/win32/Win32Wave.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <cwchar>

namespace kovado::platform {

namespace {

// The name field is NUL-terminated when Windows fills it, but it is bounded
// here anyway.
template <typename Caps>
std::string AnsiName(const Caps& caps) {
    return std::string(caps.szPname, strnlen(caps.szPname, sizeof(caps.szPname)));
}

template <typename Caps>
std::wstring WideName(const Caps& caps) {
    constexpr std::size_t kChars = sizeof(caps.szPname) / sizeof(caps.szPname[0]);
    return std::wstring(caps.szPname, wcsnlen(caps.szPname, kChars));
}

}  // namespace

UINT Win32WaveDevices::InputCount() { return waveInGetNumDevs(); }

UINT Win32WaveDevices::OutputCount() { return waveOutGetNumDevs(); }

bool Win32WaveDevices::InputName(UINT index, std::wstring& name) {
    WAVEINCAPSW caps{};
    if (waveInGetDevCapsW(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) {
        return false;
    }
    name = WideName(caps);
    return true;
}

bool Win32WaveDevices::OutputName(UINT index, std::wstring& name) {
    WAVEOUTCAPSW caps{};
    if (waveOutGetDevCapsW(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) {
        return false;
    }
    name = WideName(caps);
    return true;
}

bool Win32WaveDevices::InputName(UINT index, std::string& name) {
    WAVEINCAPSA caps{};
    if (waveInGetDevCapsA(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) {
        return false;
    }
    name = AnsiName(caps);
    return true;
}

bool Win32WaveDevices::OutputName(UINT index, std::string& name) {
    WAVEOUTCAPSA caps{};
    if (waveOutGetDevCapsA(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) {
        return false;
    }
    name = AnsiName(caps);
    return true;
}

}  // namespace kovado::platform
