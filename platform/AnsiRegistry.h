// The registry through its 8-bit character calls (RegOpenKeyExA and company):
// names are ANSI text, and text values are handed over in the ANSI code page.
#pragma once
#include <string>

#include "platform/Registry.h"

namespace kovado::platform {

class IAnsiRegistry {
public:
    virtual ~IAnsiRegistry() = default;
    // As IRegistry::Open: access the rights used, view the copy of the key.
    virtual long Open(RegRoot root, const std::string& path, DWORD access, RegView view,
                      RegKey& out) = 0;
    // size: in, the buffer's capacity; out, the value's size. A value larger
    // than the buffer gives kRegMoreData and leaves the buffer untouched.
    virtual long Query(RegKey key, const std::string& name, DWORD& type, BYTE* data,
                       DWORD& size) = 0;
    virtual long Set(RegKey key, const std::string& name, DWORD type, const BYTE* data,
                     DWORD size) = 0;
    virtual void Close(RegKey key) = 0;
};

}  // namespace kovado::platform
