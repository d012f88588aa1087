#include "platform/sim/SimProcess.h"

namespace kovado::platform {

UINT SimProcess::WinExec(const std::string& commandLine, UINT showCommand) {
    std::function<void(const std::string&)> program;
    {
        std::lock_guard<std::mutex> lock(m_sched.StateLock());
        m_starts.push_back(Start{m_sched.NowMs(), commandLine, showCommand});
        program = m_onStart;
    }
    if (program) program(commandLine);
    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    m_sched.Wait(lock, [] { return false; }, m_sched.NowMs() + m_nStartupMs);
    return m_nResult;
}

std::vector<SimProcess::Start> SimProcess::Starts() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return m_starts;
}

}  // namespace kovado::platform
