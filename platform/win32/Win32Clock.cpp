#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Clock.h"

namespace kovado::platform {
namespace {

IClock::LocalTime FromSystemTime(const SYSTEMTIME& st) {
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// FILETIME counts 100 ns steps since 1601-01-01 UTC.
constexpr std::int64_t kFileTimeOf1970 = 116444736000000000;
constexpr std::int64_t kTicksPerSecond = 10000000;
// 1601-01-01 and 30827-12-31 23:59:59, the range SYSTEMTIME holds.
constexpr std::int64_t kFirstUnixSecond = -kFileTimeOf1970 / kTicksPerSecond;
constexpr std::int64_t kLastUnixSecond = 910670515199;

}  // namespace

std::uint64_t Win32Clock::NowMs() { return GetTickCount64(); }

void Win32Clock::Sleep(std::uint32_t ms) { ::Sleep(ms); }

IClock::LocalTime Win32Clock::Local() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

IClock::LocalTime Win32Clock::ToLocal(std::int64_t unixSeconds) {
    const LocalTime epoch{1970, 1, 1, 0, 0, 0};
    if (unixSeconds < kFirstUnixSecond || unixSeconds > kLastUnixSecond) return epoch;
    std::int64_t ticks = unixSeconds * kTicksPerSecond + kFileTimeOf1970;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<::DWORD>(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<::DWORD>(ticks >> 32);
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return epoch;
    return FromSystemTime(local);
}

int Win32Clock::AnsiCodePage() { return static_cast<int>(GetACP()); }

}  // namespace kovado::platform
