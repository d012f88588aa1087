#include "platform/Mutex.h"

#include <atomic>

namespace kovado::platform {
namespace {
std::atomic<ILockHooks*> g_hooks{nullptr};
}

void InstallLockHooks(ILockHooks* hooks) { g_hooks.store(hooks); }
ILockHooks* LockHooks() { return g_hooks.load(std::memory_order_relaxed); }

void Mutex::lock() {
    if (ILockHooks* hooks = LockHooks()) {
        hooks->Lock(*this);
        return;
    }
    m_native.lock();
}

void Mutex::unlock() {
    if (ILockHooks* hooks = LockHooks()) {
        hooks->Unlock(*this);
        return;
    }
    m_native.unlock();
}

}  // namespace kovado::platform
