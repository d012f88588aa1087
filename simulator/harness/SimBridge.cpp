#include "simulator/harness/SimBridge.h"

namespace kovado::sim {

SimBridge::SimBridge(bool startSkype) {
    if (startSkype) m_skype.Start();
    m_view = std::make_unique<CBridgeView>(m_sim.m_services);
    CBridgeView* view = m_view.get();
    m_skype.m_modeProbe = [view] {
        return std::pair<int, int>{view->m_nReplyMode.load(), view->m_nReplySubMode.load()};
    };
}

SimBridge::~SimBridge() {
    m_view.reset();
    m_skype.Stop();
}

void SimBridge::CreateWindows() {
    m_hFrame = m_sim.m_windows.CreateWindow(&m_frameClient, L"KovadoDeskLink", 0);
    m_view->Create(m_hFrame);
    m_view->m_nTickTimer = m_sim.m_windows.SetTimer(m_view->m_hWnd, kTickTimerId, 50);
}

void SimBridge::Discover(std::uint64_t settleMs) {
    m_sim.m_windows.Broadcast(m_view->m_nMsgDiscover, m_view->m_hWnd, 0);
    m_sim.RunFor(settleMs);
}

}  // namespace kovado::sim
