// INTERIM, to be deleted at merge (see Win32InterimServices.h).
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32InterimServices.h"

#include <mmsystem.h>

#include <cstring>

namespace kovado::platform {
namespace {
HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}
HKEY Native(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

long Win32InterimRegistry::Open(RegRoot root, const std::wstring& path, DWORD access,
                                RegKey& out) {
    HKEY key = nullptr;
    long result = RegOpenKeyExW(RootKey(root), path.c_str(), 0, access, &key);
    out = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return result;
}

long Win32InterimRegistry::Create(RegRoot root, const std::wstring& path, DWORD access,
                                  RegKey& out) {
    HKEY key = nullptr;
    long result = RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, 0, access, nullptr,
                                  &key, nullptr);
    out = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return result;
}

long Win32InterimRegistry::Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
                                 DWORD& size) {
    ::DWORD nativeType = 0;
    ::DWORD nativeSize = size;
    long result = RegQueryValueExW(Native(key), name.c_str(), nullptr, &nativeType, data,
                                   &nativeSize);
    type = nativeType;
    size = nativeSize;
    return result;
}

long Win32InterimRegistry::Set(RegKey key, const std::wstring& name, DWORD type,
                               const BYTE* data, DWORD size) {
    return RegSetValueExW(Native(key), name.c_str(), 0, type, data, size);
}

void Win32InterimRegistry::Close(RegKey key) {
    if (key != 0) RegCloseKey(Native(key));
}

UINT Win32InterimWave::InputCount() { return waveInGetNumDevs(); }

bool Win32InterimWave::InputName(UINT index, std::wstring& name) {
    WAVEINCAPSW caps{};
    if (waveInGetDevCapsW(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) return false;
    name.assign(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN));
    return true;
}

UINT Win32InterimWave::OutputCount() { return waveOutGetNumDevs(); }

bool Win32InterimWave::OutputName(UINT index, std::wstring& name) {
    WAVEOUTCAPSW caps{};
    if (waveOutGetDevCapsW(index, &caps, sizeof(caps)) != MMSYSERR_NOERROR) return false;
    name.assign(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN));
    return true;
}

}  // namespace kovado::platform
