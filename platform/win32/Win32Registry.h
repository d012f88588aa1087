// The registry on Windows, through both the wide calls (the main program) and
// the 8-bit calls (the two tools).
#pragma once
#include "platform/AnsiRegistry.h"
#include "platform/Registry.h"

namespace kovado::platform {

class Win32Registry : public IRegistry, public IAnsiRegistry {
public:
    long Open(RegRoot root, const std::wstring& path, DWORD access, RegView view,
              RegKey& out) override;
    long Create(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                RegKey& out) override;
    long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data, DWORD& size) override;
    long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
             DWORD size) override;

    long Open(RegRoot root, const std::string& path, DWORD access, RegView view,
              RegKey& out) override;
    long Query(RegKey key, const std::string& name, DWORD& type, BYTE* data, DWORD& size) override;
    long Set(RegKey key, const std::string& name, DWORD type, const BYTE* data,
             DWORD size) override;

    void Close(RegKey key) override;
};

}  // namespace kovado::platform
