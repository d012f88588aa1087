// Real threads and real time on Linux: a window is a message queue served by
// the thread that created it.
#pragma once
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <thread>

#include "platform/Services.h"
#include "platform/common/StdFiles.h"
#include "platform/common/FreeTypeRasterizer.h"
#include "platform/common/WindowSystemCore.h"

namespace kovado::platform {

class PosixScheduler : public Scheduler {
public:
    PosixScheduler();
    ~PosixScheduler() override;
    std::uint64_t NowMs() override;
    std::mutex& StateLock() override { return m_lock; }
    void Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
              std::uint64_t deadlineMs) override;
    void Wake() override { m_changed.notify_all(); }
    ThreadId Current() override;
    ThreadId Spawn(std::function<void()> body) override;
    bool Finished(ThreadId thread) override;
    void Reap(ThreadId thread) override;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::chrono::steady_clock::time_point m_start;
    std::map<ThreadId, std::thread> m_threads;
    std::map<ThreadId, bool> m_finished;
};

class PosixClock : public IClock {
public:
    explicit PosixClock(Scheduler& scheduler) : m_sched(scheduler) {}
    std::uint64_t NowMs() override { return m_sched.NowMs(); }
    void Sleep(std::uint32_t ms) override;
    LocalTime Local() override;
    LocalTime ToLocal(std::int64_t unixSeconds) override;
    int AnsiCodePage() override { return 65001; }

private:
    Scheduler& m_sched;
};

// The services of the POSIX backend, ready to hand to the core.
class PosixPlatform {
public:
    PosixPlatform();
    PosixScheduler m_scheduler;
    WindowSystemCore m_windows;
    PosixClock m_clock;
    StdFiles m_files;
    FreeTypeRasterizer m_raster;
    Services m_services;
};

}  // namespace kovado::platform
