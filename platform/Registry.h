// The registry, as the Windows calls see it: keys under a root, typed values
// read into bounded buffers.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

using RegKey = std::uintptr_t;

enum class RegRoot { CurrentUser, LocalMachine };

// Which copy of a key is opened. Under HKEY_LOCAL_MACHINE\SOFTWARE a 32-bit
// program's keys are kept apart from a 64-bit program's; Native is the
// calling program's own (the 64-bit one: all three programs are 64-bit).
// The keys used under HKEY_CURRENT_USER have one copy only.
enum class RegView { Native, Bits64, Bits32 };

constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

constexpr DWORD kKeyQueryValue = 0x0001;
constexpr DWORD kKeySetValue = 0x0002;
constexpr DWORD kKeyRead = 0x20019;
constexpr DWORD kKeyWrite = 0x20006;
constexpr DWORD kKeyAllAccess = 0xF003F;

constexpr long kRegOk = 0;
constexpr long kRegNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegMoreData = 234;

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // access: the rights the caller will use; a key is refused (kRegAccessDenied)
    // when the user does not hold all of them.
    virtual long Open(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                      RegKey& out) = 0;
    // Creates the key when it does not exist.
    virtual long Create(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                        RegKey& out) = 0;
    // size: in, the buffer's capacity; out, the value's size. A value larger
    // than the buffer gives kRegMoreData and leaves the buffer untouched.
    virtual long Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
                       DWORD& size) = 0;
    virtual long Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
                     DWORD size) = 0;
    virtual void Close(RegKey key) = 0;
};

}  // namespace kovado::platform
