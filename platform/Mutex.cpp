#include "platform/Mutex.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace kovado::platform {
namespace {
std::atomic<ILockHooks*> g_hooks{nullptr};
std::atomic<LockViolationHandler> g_violation{nullptr};
#ifndef NDEBUG
thread_local int t_nHeld = 0;
#endif

void Acquired() {
#ifndef NDEBUG
    ++t_nHeld;
#endif
}
void Releasing() {
#ifndef NDEBUG
    --t_nHeld;
#endif
}
}  // namespace

void SetLockViolationHandler(LockViolationHandler handler) { g_violation.store(handler); }

#ifndef NDEBUG
int LocksHeldByThisThread() { return t_nHeld; }

void ExpectNoLocksHeld(const char* where) {
    if (t_nHeld == 0) return;
    if (LockViolationHandler handler = g_violation.load()) {
        handler(where, t_nHeld);
        return;
    }
    std::fprintf(stderr, "%d lock(s) held while sending %s\n", t_nHeld, where);
    std::abort();
}
#endif

void InstallLockHooks(ILockHooks* hooks) { g_hooks.store(hooks); }
ILockHooks* LockHooks() { return g_hooks.load(std::memory_order_relaxed); }

void Mutex::lock() {
    if (ILockHooks* hooks = LockHooks()) {
        hooks->Lock(*this);
    } else {
        m_native.lock();
    }
    Acquired();
}

void Mutex::unlock() {
    Releasing();
    if (ILockHooks* hooks = LockHooks()) {
        hooks->Unlock(*this);
        return;
    }
    m_native.unlock();
}

}  // namespace kovado::platform
