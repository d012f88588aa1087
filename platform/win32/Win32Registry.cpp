#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace kovado::platform {

namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The view travels with the rights; the handle keeps it for its value calls.
REGSAM Rights(DWORD access, RegView view) {
    REGSAM rights = access;
    if (view == RegView::Bits64) rights |= KEY_WOW64_64KEY;
    if (view == RegView::Bits32) rights |= KEY_WOW64_32KEY;
    return rights;
}

HKEY Handle(RegKey key) { return reinterpret_cast<HKEY>(key); }

// Windows leaves the caller's buffer undefined when a value does not fit; the
// seam promises it untouched, so the value is read into a buffer of our own.
template <typename QueryFn>
long QueryInto(QueryFn query, DWORD& type, BYTE* data, DWORD& size) {
    std::vector<BYTE> buffer(std::max<DWORD>(size, 1));
    ::DWORD got = size;
    ::DWORD gotType = 0;
    LONG result = query(&gotType, buffer.data(), &got);
    if (result == ERROR_SUCCESS) {
        got = std::min<::DWORD>(got, size);
        std::copy(buffer.begin(), buffer.begin() + got, data);
        type = static_cast<DWORD>(gotType);
    }
    size = static_cast<DWORD>(got);
    return result;
}

}  // namespace

long Win32Registry::Open(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                         RegKey& out) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(RootKey(root), path.c_str(), 0, Rights(access, view), &key);
    out = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return result;
}

long Win32Registry::Create(RegRoot root, const std::wstring& path, DWORD access, RegView view,
                           RegKey& out) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, 0,
                                  Rights(access, view), nullptr, &key, nullptr);
    out = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return result;
}

long Win32Registry::Query(RegKey key, const std::wstring& name, DWORD& type, BYTE* data,
                          DWORD& size) {
    return QueryInto(
        [&](::DWORD* gotType, BYTE* buffer, ::DWORD* got) {
            return RegQueryValueExW(Handle(key), name.c_str(), nullptr, gotType, buffer, got);
        },
        type, data, size);
}

long Win32Registry::Set(RegKey key, const std::wstring& name, DWORD type, const BYTE* data,
                        DWORD size) {
    return RegSetValueExW(Handle(key), name.c_str(), 0, type, data, size);
}

long Win32Registry::Open(RegRoot root, const std::string& path, DWORD access, RegView view,
                         RegKey& out) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(RootKey(root), path.c_str(), 0, Rights(access, view), &key);
    out = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return result;
}

long Win32Registry::Query(RegKey key, const std::string& name, DWORD& type, BYTE* data,
                          DWORD& size) {
    return QueryInto(
        [&](::DWORD* gotType, BYTE* buffer, ::DWORD* got) {
            return RegQueryValueExA(Handle(key), name.c_str(), nullptr, gotType, buffer, got);
        },
        type, data, size);
}

long Win32Registry::Set(RegKey key, const std::string& name, DWORD type, const BYTE* data,
                        DWORD size) {
    return RegSetValueExA(Handle(key), name.c_str(), 0, type, data, size);
}

void Win32Registry::Close(RegKey key) {
    if (key != 0) {
        RegCloseKey(Handle(key));
    }
}

}  // namespace kovado::platform
