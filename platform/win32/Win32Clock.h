// Time on Windows: the tick count, local time with the system's time-zone
// rules, and the ANSI code page.
#pragma once
#include "platform/Clock.h"

namespace kovado::platform {

class Win32Clock : public IClock {
public:
    std::uint64_t NowMs() override;
    void Sleep(std::uint32_t ms) override;
    LocalTime Local() override;
    // A time outside what Windows can represent (before 1601 or after 30827)
    // comes back as 1970-01-01 00:00:00.
    LocalTime ToLocal(std::int64_t unixSeconds) override;
    int AnsiCodePage() override;
};

}  // namespace kovado::platform
