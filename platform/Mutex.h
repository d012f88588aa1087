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

// No lock of the core may be held while a window message is sent: the
// receiver may need the same lock, or send back to this thread. Debug builds
// count the locks each thread holds and check the count at every send; the
// release build does neither.
using LockViolationHandler = void (*)(const char* where, int held);
#ifdef NDEBUG
inline void ExpectNoLocksHeld(const char*) {}
inline int LocksHeldByThisThread() { return 0; }
#else
void ExpectNoLocksHeld(const char* where);
int LocksHeldByThisThread();
#endif
// Called on a violation instead of the default, which prints and aborts.
void SetLockViolationHandler(LockViolationHandler handler);

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
