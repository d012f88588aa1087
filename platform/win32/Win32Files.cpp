#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Files.h"

namespace kovado::platform {

bool Win32Files::Copy(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(Resolve(from).c_str(), Resolve(to).c_str(), FALSE) != 0;
}

}  // namespace kovado::platform
