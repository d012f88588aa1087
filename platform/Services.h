// Every operating-system service the core reaches, gathered in one place. A
// backend (Win32, POSIX threads, or the deterministic simulation) fills it in.
#pragma once
#include "platform/Clock.h"
#include "platform/Threads.h"
#include "platform/WindowSystem.h"

namespace kovado::platform {

struct Services {
    IWindowSystem* windows = nullptr;
    IClock* clock = nullptr;
    IThreads* threads = nullptr;
};

}  // namespace kovado::platform
