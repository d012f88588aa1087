// INTERIM, to be deleted at merge: minimal registry and wave-device services
// so that the program supervises under Wine until the full Win32Registry and
// Win32Wave of the tools work are wired into Win32Platform in their place.
#pragma once
#include "platform/Registry.h"
#include "platform/WaveDevices.h"

namespace kovado::platform {

class Win32InterimRegistry : public IRegistry {
public:
    long Open(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) override;
    long Create(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) override;
    long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
               DWORD& size) override;
    long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
             DWORD size) override;
    void Close(RegKey key) override;
};

class Win32InterimWave : public IWaveDevices {
public:
    UINT InputCount() override;
    bool InputName(UINT index, std::wstring& name) override;
    UINT OutputCount() override;
    bool OutputName(UINT index, std::wstring& name) override;
};

}  // namespace kovado::platform
