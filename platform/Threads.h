#pragma once
#include <functional>

#include "platform/Types.h"

namespace kovado::platform {

class IThreads {
public:
    virtual ~IThreads() = default;
    virtual ThreadId Start(std::function<void()> body) = 0;
    // Waits until the thread has ended, handling sends to the caller's windows
    // meanwhile (the thread may be sending to them).
    virtual void Join(ThreadId thread) = 0;
};

}  // namespace kovado::platform
