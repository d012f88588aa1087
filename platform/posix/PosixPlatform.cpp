#include "platform/posix/PosixPlatform.h"

#include <atomic>
#include <ctime>

namespace kovado::platform {
namespace {
std::atomic<ThreadId> g_nextThreadId{1};
thread_local ThreadId t_threadId = 0;
}  // namespace

PosixScheduler::PosixScheduler() : m_start(std::chrono::steady_clock::now()) {}

PosixScheduler::~PosixScheduler() {
    for (auto& [id, thread] : m_threads)
        if (thread.joinable()) thread.join();
}

std::uint64_t PosixScheduler::NowMs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - m_start)
                                          .count());
}

void PosixScheduler::Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                          std::uint64_t deadlineMs) {
    if (deadlineMs == kForever) {
        m_changed.wait(lock, ready);
        return;
    }
    m_changed.wait_until(lock, m_start + std::chrono::milliseconds(deadlineMs), ready);
}

ThreadId PosixScheduler::Current() {
    if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
    return t_threadId;
}

ThreadId PosixScheduler::Spawn(std::function<void()> body) {
    ThreadId id = g_nextThreadId.fetch_add(1);
    std::lock_guard<std::mutex> lock(m_lock);
    m_finished[id] = false;
    m_threads[id] = std::thread([this, id, body = std::move(body)] {
        t_threadId = id;
        body();
        std::lock_guard<std::mutex> done(m_lock);
        m_finished[id] = true;
        m_changed.notify_all();
    });
    return id;
}

bool PosixScheduler::Finished(ThreadId thread) {
    auto it = m_finished.find(thread);
    return it == m_finished.end() || it->second;
}

void PosixScheduler::Reap(ThreadId thread) {
    std::thread finished;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_threads.find(thread);
        if (it == m_threads.end()) return;
        finished = std::move(it->second);
        m_threads.erase(it);
        m_finished.erase(thread);
    }
    if (finished.joinable()) finished.join();
}

void PosixClock::Sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

static IClock::LocalTime FromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

IClock::LocalTime PosixClock::Local() {
    return ToLocal(static_cast<std::int64_t>(std::time(nullptr)));
}

IClock::LocalTime PosixClock::ToLocal(std::int64_t unixSeconds) {
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return FromTm(tm);
}

PosixPlatform::PosixPlatform() : m_windows(m_scheduler), m_clock(m_scheduler) {
    m_services.windows = &m_windows;
    m_services.clock = &m_clock;
    m_services.threads = &m_windows;
    m_services.files = &m_files;
    m_services.raster = &m_raster;
}

}  // namespace kovado::platform
