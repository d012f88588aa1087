#include "tools/win32/ToolClock.h"

#include <windows.h>

namespace kovado {

namespace {

platform::IClock::LocalTime FromSystemTime(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

}  // namespace

std::uint64_t CToolClock::NowMs() { return GetTickCount64(); }

void CToolClock::Sleep(std::uint32_t ms) { ::Sleep(ms); }

platform::IClock::LocalTime CToolClock::Local() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return FromSystemTime(now);
}

platform::IClock::LocalTime CToolClock::ToLocal(std::int64_t unixSeconds) {
    // FILETIME counts 100 ns steps since 1601.
    constexpr std::int64_t kEpochDifference = 11644473600LL;
    ULARGE_INTEGER ticks{};
    ticks.QuadPart = static_cast<ULONGLONG>(unixSeconds + kEpochDifference) * 10000000ULL;
    FILETIME utc{ticks.LowPart, ticks.HighPart};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) {
        return {};
    }
    return FromSystemTime(time);
}

int CToolClock::AnsiCodePage() { return static_cast<int>(GetACP()); }

}  // namespace kovado
