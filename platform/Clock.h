#pragma once
#include <cstdint>

namespace kovado::platform {

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start, monotonic.
    virtual std::uint64_t NowMs() = 0;
    // Blocks the calling thread; incoming sends are not handled meanwhile.
    virtual void Sleep(std::uint32_t ms) = 0;
    // Local wall-clock time for the handset's clock and call times.
    struct LocalTime {
        int year, month, day, hour, minute, second;
    };
    virtual LocalTime Local() = 0;
    // Seconds since 1970 UTC converted to local time.
    virtual LocalTime ToLocal(std::int64_t unixSeconds) = 0;
    // The system's ANSI code page (for the log line written at start).
    virtual int AnsiCodePage() = 0;
};

constexpr std::uint64_t kForever = ~std::uint64_t{0};

}  // namespace kovado::platform
