// The two worker threads: the device loop (CThread) and the supervision loop
// (CThread2). Each runs its passes until the view asks it to stop; the stop
// request is looked at once per pass, so a thread never ends in the middle of
// an operation or while holding a lock.
#pragma once
#include <atomic>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CWorkerThread {
public:
    virtual ~CWorkerThread() = default;
    // Starts Run on a thread of its own.
    void Start();
    // Asks the loop to end and waits until it has.
    void Stop();
    bool StopRequested() const { return m_bStop.load(); }
    virtual void Run() = 0;

    CBridgeView* m_pOwner = nullptr;

private:
    std::atomic<bool> m_bStop{false};
    platform::ThreadId m_nThread = -1;
};

class CThread : public CWorkerThread {
public:
    void Run() override;
};

class CThread2 : public CWorkerThread {
public:
    void Run() override;
};

}  // namespace kovado
