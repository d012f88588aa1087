// Deterministic virtual time. Every simulated thread is a real thread, but only
// the one holding the turn runs; a thread gives the turn away only where the
// real program would block (a sleep, a wait for a message or a report, a send
// to another thread's window, a contended lock). The next turn goes to the
// thread whose wait ends first in virtual time, ties to the oldest thread, so
// a scenario's outcome depends only on its inputs.
#pragma once
#include <condition_variable>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Mutex.h"
#include "platform/common/Scheduler.h"

namespace kovado::platform {

class SimScheduler : public Scheduler, public ILockHooks {
public:
    // The constructing thread becomes simulated thread 0 and holds the turn.
    SimScheduler();
    ~SimScheduler() override;

    std::uint64_t NowMs() override;
    std::mutex& StateLock() override { return m_lock; }
    void Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
              std::uint64_t deadlineMs) override;
    void Wake() override {}
    ThreadId Current() override;
    ThreadId Spawn(std::function<void()> body) override;
    bool Finished(ThreadId thread) override;
    void Reap(ThreadId thread) override;

    void Lock(Mutex& mutex) override;
    void Unlock(Mutex& mutex) override;

    // How many times the turn passed between real threads (a cost measure).
    std::uint64_t m_nSwitches = 0;

private:
    struct SimThread {
        ThreadId id = 0;
        std::condition_variable turn;
        std::function<bool()> ready;
        std::uint64_t deadline = 0;
        bool waiting = false;
        bool finished = false;
        std::thread thread;
    };
    // Gives the turn to the next thread and returns when `me` has it again.
    void PassTurn(std::unique_lock<std::mutex>& lock, SimThread* me);
    SimThread* PickNext(std::uint64_t& at);
    [[noreturn]] void Deadlock();

    std::mutex m_lock;
    std::uint64_t m_now = 0;
    std::vector<std::unique_ptr<SimThread>> m_threads;  // index == id
    ThreadId m_running = 0;
};

}  // namespace kovado::platform
