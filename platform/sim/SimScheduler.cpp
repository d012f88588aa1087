#include "platform/sim/SimScheduler.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Clock.h"

namespace kovado::platform {
namespace {
thread_local ThreadId t_simId = -1;
}

SimScheduler::SimScheduler() {
    auto main = std::make_unique<SimThread>();
    main->id = 0;
    m_threads.push_back(std::move(main));
    m_running = 0;
    t_simId = 0;
    InstallLockHooks(this);
}

SimScheduler::~SimScheduler() {
    InstallLockHooks(nullptr);
    for (auto& t : m_threads) {
        if (t->thread.joinable()) {
            if (!t->finished) {
                std::fprintf(stderr, "simulation ended with thread %d still running\n", t->id);
                std::abort();
            }
            t->thread.join();
        }
    }
}

std::uint64_t SimScheduler::NowMs() { return m_now; }

ThreadId SimScheduler::Current() { return t_simId; }

SimScheduler::SimThread* SimScheduler::PickNext(std::uint64_t& at) {
    SimThread* best = nullptr;
    std::uint64_t bestAt = kForever;
    for (auto& t : m_threads) {
        if (t->finished || !t->waiting) continue;
        std::uint64_t when = t->ready() ? m_now : t->deadline;
        if (when == kForever) continue;
        if (when < bestAt) {
            bestAt = when;
            best = t.get();
        }
    }
    at = bestAt;
    return best;
}

void SimScheduler::Deadlock() {
    std::fprintf(stderr, "simulation deadlock at %llu ms: every thread waits forever\n",
                 static_cast<unsigned long long>(m_now));
    std::abort();
}

void SimScheduler::PassTurn(std::unique_lock<std::mutex>& lock, SimThread* me) {
    std::uint64_t at = 0;
    SimThread* next = PickNext(at);
    if (!next) Deadlock();
    if (at > m_now) m_now = at;
    if (next == me) return;
    ++m_nSwitches;
    m_running = next->id;
    next->turn.notify_one();
    me->turn.wait(lock, [&] { return m_running == me->id; });
}

void SimScheduler::Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                        std::uint64_t deadlineMs) {
    SimThread* me = m_threads.at(static_cast<std::size_t>(t_simId)).get();
    while (!ready() && m_now < deadlineMs) {
        me->ready = ready;
        me->deadline = deadlineMs;
        me->waiting = true;
        PassTurn(lock, me);
        me->waiting = false;
        me->ready = nullptr;
    }
}

ThreadId SimScheduler::Spawn(std::function<void()> body) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto t = std::make_unique<SimThread>();
    SimThread* self = t.get();
    self->id = static_cast<ThreadId>(m_threads.size());
    self->waiting = true;
    self->ready = [] { return true; };
    self->deadline = kForever;
    m_threads.push_back(std::move(t));
    self->thread = std::thread([this, self, body = std::move(body)] {
        {
            std::unique_lock<std::mutex> lock(m_lock);
            t_simId = self->id;
            self->turn.wait(lock, [&] { return m_running == self->id; });
            self->waiting = false;
            self->ready = nullptr;
        }
        body();
        std::unique_lock<std::mutex> lock(m_lock);
        self->finished = true;
        std::uint64_t at = 0;
        SimThread* next = PickNext(at);
        if (!next) Deadlock();
        if (at > m_now) m_now = at;
        ++m_nSwitches;
        m_running = next->id;
        next->turn.notify_one();
    });
    return self->id;
}

bool SimScheduler::Finished(ThreadId thread) {
    return m_threads.at(static_cast<std::size_t>(thread))->finished;
}

void SimScheduler::Reap(ThreadId thread) {
    std::thread finished;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        finished = std::move(m_threads.at(static_cast<std::size_t>(thread))->thread);
    }
    if (finished.joinable()) finished.join();
}

void SimScheduler::Lock(Mutex& mutex) {
    std::unique_lock<std::mutex> lock(m_lock);
    Wait(lock, [&] { return mutex.m_nCoopOwner < 0; }, kForever);
    mutex.m_nCoopOwner = t_simId;
}

void SimScheduler::Unlock(Mutex& mutex) {
    std::lock_guard<std::mutex> guard(m_lock);
    mutex.m_nCoopOwner = -1;
}

}  // namespace kovado::platform
