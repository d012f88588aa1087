// The clock the two tools run on under Windows: they only pause, but the seam
// is the whole platform clock.
#pragma once
#include "platform/Clock.h"

namespace kovado {

class CToolClock : public platform::IClock {
public:
    std::uint64_t NowMs() override;
    void Sleep(std::uint32_t ms) override;
    LocalTime Local() override;
    LocalTime ToLocal(std::int64_t unixSeconds) override;
    int AnsiCodePage() override;
};

}  // namespace kovado
