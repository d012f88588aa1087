#include "platform/sim/SimPlatform.h"

namespace kovado::platform {

void SimClock::Sleep(std::uint32_t ms) {
    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    std::uint64_t until = m_sched.NowMs() + ms;
    m_sched.Wait(lock, [] { return false; }, until);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
static void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

IClock::LocalTime SimClock::ToLocal(std::int64_t unixSeconds) {
    std::int64_t local = unixSeconds + std::int64_t{m_nZoneMinutes} * 60;
    std::int64_t days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
    std::int64_t secs = local - days * 86400;
    LocalTime t{};
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

IClock::LocalTime SimClock::Local() {
    return ToLocal(m_nStartUnix + static_cast<std::int64_t>(m_sched.NowMs() / 1000));
}

SimPlatform::SimPlatform()
    : m_windows(m_scheduler),
      m_clock(m_scheduler),
      m_hid(m_scheduler),
      m_registry(m_scheduler),
      m_process(m_scheduler),
      m_wave(m_scheduler),
      m_tray(m_scheduler) {
    m_services.windows = &m_windows;
    m_services.clock = &m_clock;
    m_services.threads = &m_windows;
    m_services.hid = &m_hid;
    m_services.files = &m_files;
    m_services.raster = &m_raster;
    m_services.registry = &m_registry;
    m_services.process = &m_process;
    m_services.wave = &m_wave;
    m_services.tray = &m_tray;
}

bool SimPlatform::RunFor(std::uint64_t ms) { return m_windows.Pump(m_scheduler.NowMs() + ms); }

}  // namespace kovado::platform
