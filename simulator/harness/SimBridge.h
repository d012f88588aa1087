// The whole bridge on the simulation backend: a hidden frame window, the view
// as its child, and a simulated Skype client, all in virtual time.
#pragma once
#include <functional>
#include <memory>

#include "bridge/BridgeView.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSkype.h"

namespace kovado::sim {

// The tray menu's Exit command, which the frame turns into closing itself.
constexpr std::uint32_t kCmdExit = 57665;
// The callback message of the tray icon.
constexpr std::uint32_t kTrayCallbackMessage = 1034;

class SimBridge {
public:
    explicit SimBridge(bool startSkype = true);
    // beforeView runs once the Skype client is up and before the view is
    // constructed: the moment to fill the registry, the devices and the
    // settings folder, and to put wrappers into m_services.
    SimBridge(bool startSkype, const std::function<void(SimBridge&)>& beforeView);
    ~SimBridge();

    // The frame's part of start-up: the view's window and its 50 ms tick.
    void CreateWindows();
    // The frame's creation as the program does it: the frame and view windows,
    // a 50 ms pause, the tray icon added with what supervision holds by then,
    // and the 50 ms tick timer.
    void StartLikeProgram();
    // The tray menu's Exit (also a close request from outside): the frame's
    // window is destroyed with the view's, whose destruction posts the quit
    // request that ends the message loop.
    void Exit();
    // Broadcasts discover from the calling thread and lets the answer arrive.
    void Discover(std::uint64_t settleMs = 100);
    bool RunFor(std::uint64_t ms) { return m_sim.RunFor(ms); }

    platform::SimPlatform m_sim;
    platform::SimSkype m_skype{m_sim};
    // The services the view runs on: the simulation's own unless beforeView
    // replaced some of them.
    platform::Services m_services = m_sim.m_services;
    std::unique_ptr<CBridgeView> m_view;
    platform::WindowHandle m_hFrame = 0;

private:
    // The hidden frame: commands go to the view first; Exit and a close
    // request destroy the frame.
    struct FrameClient : platform::IWindowClient {
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
        SimBridge* m_pBridge = nullptr;
    } m_frameClient;
};

}  // namespace kovado::sim
