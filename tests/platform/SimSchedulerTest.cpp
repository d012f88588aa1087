// The simulation's guarantees: virtual time, one thread at a time, sends that
// block and are served while waiting, and the same outcome every run.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace kovado::platform {
namespace {

struct Recorder : IWindowClient {
    std::vector<std::string>* log = nullptr;
    IWindowSystem* windows = nullptr;
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) override {
        if (message == kWmApp) {
            log->push_back("handled " + std::to_string(wParam));
            return static_cast<std::intptr_t>(wParam) * 10;
        }
        return 0;
    }
};

std::vector<std::string> RunScenario(std::uint64_t& endTime) {
    SimPlatform sim;
    std::vector<std::string> log;
    Recorder ui;
    ui.log = &log;
    WindowHandle window = sim.m_windows.CreateWindow(&ui, L"ui", 0);
    auto worker = [&](int id, std::uint32_t pause) {
        return [&, id, pause] {
            for (int i = 0; i < 3; ++i) {
                sim.m_clock.Sleep(pause);
                auto r = sim.m_windows.Send(window, kWmApp, static_cast<std::uintptr_t>(id * 100 + i), 0);
                log.push_back("worker " + std::to_string(id) + " got " + std::to_string(r) + " at " +
                              std::to_string(sim.Now()));
            }
        };
    };
    ThreadId a = sim.m_windows.Start(worker(1, 5));
    ThreadId b = sim.m_windows.Start(worker(2, 7));
    sim.RunFor(100);
    sim.m_windows.Join(a);
    sim.m_windows.Join(b);
    endTime = sim.Now();
    return log;
}

TEST(SimScheduler, VirtualTimeOrdersThreadsDeterministically) {
    auto started = std::chrono::steady_clock::now();
    std::uint64_t end1 = 0, end2 = 0;
    auto first = RunScenario(end1);
    auto second = RunScenario(end2);
    EXPECT_EQ(first, second);
    EXPECT_EQ(end1, 100u);
    // Sends happen at 5, 7, 10, 14, 15, 21 ms of virtual time; each is served
    // by the user-interface thread while its sender waits.
    std::vector<std::string> expected = {
        "handled 100", "worker 1 got 1000 at 5",  "handled 200", "worker 2 got 2000 at 7",
        "handled 101", "worker 1 got 1010 at 10", "handled 201", "worker 2 got 2010 at 14",
        "handled 102", "worker 1 got 1020 at 15", "handled 202", "worker 2 got 2020 at 21",
    };
    EXPECT_EQ(first, expected);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(SimScheduler, WaitingSenderServesSendsToItsOwnWindows) {
    // A worker sends to the UI thread, whose handler sends back to the
    // worker's window: Windows serves the nested send while the worker waits.
    SimPlatform sim;
    struct Echo : IWindowClient {
        IWindowSystem* windows = nullptr;
        WindowHandle peer = 0;
        int nested = 0;
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
            if (message == kWmApp) return windows->Send(peer, kWmApp + 1, 0, 0) + 1;
            if (message == kWmApp + 1) return ++nested;
            return 0;
        }
    } ui, worker;
    ui.windows = worker.windows = &sim.m_windows;
    WindowHandle uiWindow = sim.m_windows.CreateWindow(&ui, L"ui", 0);
    std::intptr_t result = 0;
    ThreadId t = sim.m_windows.Start([&] {
        WindowHandle own = sim.m_windows.CreateWindow(&worker, L"worker", 0);
        ui.peer = own;
        result = sim.m_windows.Send(uiWindow, kWmApp, 0, 0);
    });
    sim.RunFor(10);
    sim.m_windows.Join(t);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(worker.nested, 1);
}

TEST(SimScheduler, TimersFireOnTheOwningThreadInVirtualTime) {
    SimPlatform sim;
    struct Ticks : IWindowClient {
        std::vector<std::uint64_t> at;
        SimPlatform* sim = nullptr;
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
            if (message == kWmTimer) at.push_back(sim->Now());
            return 0;
        }
    } ticks;
    ticks.sim = &sim;
    WindowHandle w = sim.m_windows.CreateWindow(&ticks, L"t", 0);
    EXPECT_EQ(sim.m_windows.SetTimer(w, 0, 50), 1u);
    sim.RunFor(175);
    EXPECT_EQ(ticks.at, (std::vector<std::uint64_t>{50, 100, 150}));
    sim.m_windows.KillTimer(w, 0);
    sim.RunFor(100);
    EXPECT_EQ(ticks.at.size(), 3u);
}

}  // namespace
}  // namespace kovado::platform
