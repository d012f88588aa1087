// Worker threads on CreateThread. A thread id is the Windows thread id.
#pragma once
#include <map>
#include <mutex>

#include "platform/Threads.h"

namespace kovado::platform {

class Win32Threads : public IThreads {
public:
    ~Win32Threads() override;
    ThreadId Start(std::function<void()> body) override;
    // Waits for the thread's end while delivering the sends addressed to the
    // calling thread's windows.
    void Join(ThreadId thread) override;

private:
    std::mutex m_lock;
    std::map<ThreadId, void*> m_handles;  // thread id -> thread HANDLE
};

}  // namespace kovado::platform
