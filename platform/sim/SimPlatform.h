// The simulation backend: virtual clock, cooperative threads and the shared
// window system, wired into the services the core takes.
#pragma once
#include <cstdint>

#include "platform/Services.h"
#include "platform/common/StdFiles.h"
#include "platform/common/FreeTypeRasterizer.h"
#include "platform/common/WindowSystemCore.h"
#include "platform/sim/SimHid.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimScheduler.h"
#include "platform/sim/SimTray.h"
#include "platform/sim/SimWaveDevices.h"

namespace kovado::platform {

class SimClock : public IClock {
public:
    explicit SimClock(SimScheduler& scheduler) : m_sched(scheduler) {}
    std::uint64_t NowMs() override { return m_sched.NowMs(); }
    void Sleep(std::uint32_t ms) override;
    LocalTime Local() override;
    LocalTime ToLocal(std::int64_t unixSeconds) override;
    int AnsiCodePage() override { return 1252; }

    // Wall-clock seconds (UTC) at virtual time 0, and the local zone's offset.
    std::int64_t m_nStartUnix = 1796979600;  // 2026-12-11 09:00:00 UTC
    int m_nZoneMinutes = 0;

private:
    SimScheduler& m_sched;
};

class SimPlatform {
public:
    SimPlatform();
    // Runs the calling (user-interface) thread's message loop for ms of virtual
    // time; false when the quit request ended it earlier.
    bool RunFor(std::uint64_t ms);
    std::uint64_t Now() { return m_scheduler.NowMs(); }

    SimScheduler m_scheduler;
    WindowSystemCore m_windows;
    SimClock m_clock;
    SimHid m_hid;
    StdFiles m_files;
    FreeTypeRasterizer m_raster;
    SimRegistry m_registry;
    SimProcess m_process;
    SimWaveDevices m_wave;
    SimTray m_tray;
    Services m_services;
};

}  // namespace kovado::platform
