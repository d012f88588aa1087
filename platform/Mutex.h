// The lock type of the core. On real threads it is a plain std::mutex; under
// the deterministic simulation, where only one thread runs at a time, a
// blocked lock must hand the turn to the owner instead of spinning.
#pragma once
#include <mutex>

namespace kovado::platform {

class Mutex;

// Installed by a cooperative scheduler for the whole process.
class ILockHooks {
public:
    virtual ~ILockHooks() = default;
    virtual void Lock(Mutex& mutex) = 0;
    virtual void Unlock(Mutex& mutex) = 0;
};

void InstallLockHooks(ILockHooks* hooks);
ILockHooks* LockHooks();

class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();

    // Owned by the cooperative scheduler; untouched on real threads.
    int m_nCoopOwner = -1;
    std::mutex m_native;
};

}  // namespace kovado::platform
