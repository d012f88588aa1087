// How threads wait and what time it is: the one difference between the POSIX
// backend (real threads, real time) and the simulation (one thread at a time,
// virtual time). Everything above it is shared.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Types.h"

namespace kovado::platform {

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual std::uint64_t NowMs() = 0;
    // The lock that guards all shared state of the window system.
    virtual std::mutex& StateLock() = 0;
    // With the state lock held: returns once ready() holds or deadlineMs has
    // passed (kForever: no deadline). Other threads run meanwhile.
    virtual void Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                      std::uint64_t deadlineMs) = 0;
    // Shared state changed: waiting threads look at their condition again.
    virtual void Wake() = 0;
    virtual ThreadId Current() = 0;
    virtual ThreadId Spawn(std::function<void()> body) = 0;
    // With the state lock held: true once the thread's body has returned.
    virtual bool Finished(ThreadId thread) = 0;
    // After Finished: releases what the thread used.
    virtual void Reap(ThreadId thread) = 0;
};

}  // namespace kovado::platform
