// Simulated program starts: each WinExec is recorded, may run a test's stand-in
// for the started program, and returns after the program's start-up time, as
// WinExec returns once the program first waits for input.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/sim/SimScheduler.h"

namespace kovado::platform {

class SimProcess : public IProcess {
public:
    struct Start {
        std::uint64_t atMs;
        std::string commandLine;
        UINT showCommand;
    };

    explicit SimProcess(SimScheduler& scheduler) : m_sched(scheduler) {}

    UINT WinExec(const std::string& commandLine, UINT showCommand) override;
    std::vector<Start> Starts();

    // Virtual time from the start until the program first waits for input.
    std::uint32_t m_nStartupMs = 200;
    // What WinExec returns: above 31 on success (2: file not found).
    UINT m_nResult = 33;
    // Runs when a program starts (outside the simulation's lock).
    std::function<void(const std::string& commandLine)> m_onStart;

private:
    SimScheduler& m_sched;
    std::vector<Start> m_starts;
};

}  // namespace kovado::platform
