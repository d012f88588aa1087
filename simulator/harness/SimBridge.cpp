#include "simulator/harness/SimBridge.h"

#include <mutex>

#include "discovery/DeviceWatcher.h"
#include "platform/Tray.h"

namespace kovado::sim {

SimBridge::SimBridge(bool startSkype) : SimBridge(startSkype, {}) {}

SimBridge::SimBridge(bool startSkype, const std::function<void(SimBridge&)>& beforeView) {
    m_frameClient.m_pBridge = this;
    if (startSkype) m_skype.Start();
    if (beforeView) beforeView(*this);
    m_view = std::make_unique<CBridgeView>(m_services);
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
    m_hFrame = m_services.windows->CreateWindow(&m_frameClient, L"KovadoDeskLink", 0);
    m_view->Create(m_hFrame);
    m_view->m_nTickTimer = m_services.windows->SetTimer(m_view->m_hWnd, kTickTimerId, 50);
}

void SimBridge::StartLikeProgram() {
    platform::IWindowSystem& windows = *m_services.windows;
    m_hFrame = windows.CreateWindow(&m_frameClient, L"KovadoDeskLink", 0);
    m_view->Create(m_hFrame);
    m_services.clock->Sleep(50);
    if (m_services.tray) {
        // Read and added under the watcher's tray lock, so a change supervision
        // makes meanwhile is not lost.
        CDeviceWatcher& watcher = *m_view->m_pWatcher;
        std::lock_guard<platform::Mutex> lock(watcher.m_trayLock);
        m_services.tray->Add(m_hFrame, watcher.m_hIcon, watcher.m_strTip, kTrayCallbackMessage);
    }
    m_view->m_nTickTimer = windows.SetTimer(m_view->m_hWnd, kTickTimerId, 50);
}

void SimBridge::Exit() {
    if (m_hFrame == 0) return;
    platform::WindowHandle frame = m_hFrame;
    m_hFrame = 0;
    m_services.windows->DestroyWindow(frame);
}

void SimBridge::Discover(std::uint64_t settleMs) {
    m_services.windows->Broadcast(m_view->m_nMsgDiscover, m_view->m_hWnd, 0);
    m_sim.RunFor(settleMs);
}

std::intptr_t SimBridge::FrameClient::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t) {
    switch (message) {
        case platform::kWmCommand: {
            auto id = static_cast<std::uint32_t>(wParam & 0xFFFF);
            if (id == kCmdExit)
                m_pBridge->Exit();
            else if (m_pBridge->m_view)
                m_pBridge->m_view->OnCommand(id);
            return 0;
        }
        case platform::kWmClose:
            m_pBridge->Exit();
            return 0;
        default:
            return 0;
    }
}

}  // namespace kovado::sim
