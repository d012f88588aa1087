// The whole bridge on the simulation backend: a hidden frame window, the view
// as its child, and a simulated Skype client, all in virtual time.
#pragma once
#include <memory>

#include "bridge/BridgeView.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSkype.h"

namespace kovado::sim {

class SimBridge {
public:
    explicit SimBridge(bool startSkype = true);
    ~SimBridge();

    // The frame's part of start-up: the view's window and its 50 ms tick.
    void CreateWindows();
    // Broadcasts discover from the calling thread and lets the answer arrive.
    void Discover(std::uint64_t settleMs = 100);
    bool RunFor(std::uint64_t ms) { return m_sim.RunFor(ms); }

    platform::SimPlatform m_sim;
    platform::SimSkype m_skype{m_sim};
    std::unique_ptr<CBridgeView> m_view;
    platform::WindowHandle m_hFrame = 0;

private:
    struct FrameClient : platform::IWindowClient {
        std::intptr_t WindowProc(std::uint32_t, std::uintptr_t, std::intptr_t) override {
            return 0;
        }
    } m_frameClient;
};

}  // namespace kovado::sim
