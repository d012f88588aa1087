// The registry, as the Windows calls see it: keys under a root, typed values
// read into bounded buffers.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

using RegKey = std::uintptr_t;

enum class RegRoot { CurrentUser, LocalMachine };

constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

constexpr DWORD kKeyRead = 0x20019;
constexpr DWORD kKeyWrite = 0x20006;
constexpr DWORD kKeyAllAccess = 0xF003F;

constexpr long kRegOk = 0;
constexpr long kRegNotFound = 2;
constexpr long kRegMoreData = 234;

class IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual long Open(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) = 0;
    // Creates the key when it does not exist.
    virtual long Create(RegRoot root, const std::wstring& path, DWORD access, RegKey& out) = 0;
    // size: in, the buffer's capacity; out, the value's size. A value larger
    // than the buffer gives kRegMoreData and leaves the buffer untouched.
    virtual long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
                       DWORD& size) = 0;
    virtual long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
                     DWORD size) = 0;
    virtual void Close(RegKey key) = 0;
};

}  // namespace kovado::platform
