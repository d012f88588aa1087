// The bridge on both real-thread and simulated backends: discover, attach, a
// command out from a worker thread, its reply routed on the user-interface thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "bridge/CallHandler.h"
#include "platform/posix/PosixPlatform.h"
#include "simulator/harness/SimBridge.h"

namespace kovado {
namespace {

TEST(EndToEnd, SimulatedClientAttachesAndRepliesInVirtualTime) {
    auto started = std::chrono::steady_clock::now();
    sim::SimBridge bridge;
    bridge.m_skype.m_attachStatuses = {0x8001, 1, 0};
    bridge.m_skype.m_rules = [](const std::string& command) -> std::vector<std::string> {
        if (command == "GET CURRENTUSERHANDLE") return {"CURRENTUSERHANDLE echo123"};
        return {};
    };
    bridge.CreateWindows();
    bridge.Discover(100);
    CBridgeView& view = *bridge.m_view;
    EXPECT_EQ(view.m_hSkypeWnd, bridge.m_skype.m_hWnd);
    EXPECT_EQ(bridge.m_skype.m_nDiscovers, 1);

    view.RequestUserHandle();
    bridge.RunFor(3600 * 1000);  // an hour of idle ticks
    EXPECT_EQ(view.UserHandle(), L"echo123");
    view.RequestUserHandle();  // known now: nothing is sent
    ASSERT_EQ(bridge.m_skype.m_commands.size(), 1u);
    EXPECT_EQ(bridge.m_skype.m_commands[0].text, "GET CURRENTUSERHANDLE");
    EXPECT_EQ(bridge.m_skype.m_commands[0].replyMode, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

// A stand-in Skype client on its own real thread.
struct PosixSkype : platform::IWindowClient {
    platform::PosixPlatform* p = nullptr;
    platform::WindowHandle self = 0, client = 0;
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        if (message == platform::kWmCopyData) {
            client = wParam;
            const auto* data = reinterpret_cast<const platform::CopyData*>(lParam);
            std::string text(static_cast<const char*>(data->lpData));
            if (text == "GET CURRENTUSERHANDLE") p->m_windows.Post(self, platform::kWmApp, 0, 0);
            return 1;
        }
        if (message == platform::kWmApp) {
            static const char reply[] = "CURRENTUSERHANDLE posix.user";
            platform::CopyData data;
            data.cbData = sizeof reply;
            data.lpData = reply;
            p->m_windows.Send(client, platform::kWmCopyData, self,
                              reinterpret_cast<std::intptr_t>(&data));
            p->m_windows.PostQuit(0);
        }
        return 0;
    }
};

TEST(EndToEnd, PosixWorkerSendsAndUserInterfaceThreadRoutesTheReply) {
    platform::PosixPlatform posix;
    PosixSkype skype;
    skype.p = &posix;
    std::atomic<platform::WindowHandle> skypeWindow{0};
    platform::ThreadId skypeThread = posix.m_windows.Start([&] {
        skype.self = posix.m_windows.CreateWindow(&skype, L"Skype", 0);
        skypeWindow = skype.self;
        posix.m_windows.Pump(platform::kForever);
    });
    while (skypeWindow == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    {
        CBridgeView view(posix.m_services);
        view.Create(0);
        view.m_hSkypeWnd = skypeWindow.load();
        // A worker asks, as the device loop does; the UI thread routes the reply.
        platform::ThreadId worker =
            posix.m_windows.Start([&view] { view.RequestUserHandle(); });
        std::uint64_t until = posix.m_clock.NowMs() + 5000;
        while (view.UserHandle().empty() && posix.m_clock.NowMs() < until)
            posix.m_windows.Pump(posix.m_clock.NowMs() + 10);
        posix.m_windows.Join(worker);
        EXPECT_EQ(view.UserHandle(), L"posix.user");
    }
    posix.m_windows.Join(skypeThread);
}

}  // namespace
}  // namespace kovado
