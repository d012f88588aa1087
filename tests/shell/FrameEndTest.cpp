// A close request that reaches the frame while the user-interface thread waits
// in a send to Skype, on real threads: a client that, asked for a ringing
// call's partner, closes the bridge before it answers (as KovadoRemove's close
// may arrive during any command). The program ends with code 0, and the frame
// and the view go only once the message loop has ended, not under the handler
// that is still running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/posix/PosixPlatform.h"
#include "shell/FrameEnd.h"

namespace kovado {
namespace {

using platform::CopyData;
using platform::WindowHandle;

constexpr std::uint32_t kRing = platform::kWmApp;

struct ClosingSkype : platform::IWindowClient {
    explicit ClosingSkype(platform::PosixPlatform& p) : m_p(p) {}
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t,
                             std::intptr_t lParam) override {
        platform::IWindowSystem& windows = m_p.m_windows;
        if (message == kRing) {
            static const char ring[] = "CALL 7 STATUS RINGING";
            CopyData data;
            data.cbData = sizeof ring;
            data.lpData = ring;
            windows.Send(m_hBridge, platform::kWmCopyData, m_hSelf,
                         reinterpret_cast<std::intptr_t>(&data));
        } else if (message == platform::kWmCopyData) {
            const auto* data = reinterpret_cast<const CopyData*>(lParam);
            std::string text(static_cast<const char*>(data->lpData));
            m_commands.push_back(text);
            if (text == "GET CALL 7 PARTNER_HANDLE")
                m_closeResult = windows.Send(m_hFrame, platform::kWmClose, 0, 0);
            return 1;
        } else if (message == platform::kWmClose) {
            windows.PostQuit(0);
        }
        return 0;
    }
    platform::PosixPlatform& m_p;
    WindowHandle m_hSelf = 0, m_hBridge = 0, m_hFrame = 0;
    std::vector<std::string> m_commands;
    std::intptr_t m_closeResult = -1;
};

// The hidden frame as the program keeps it: a close destroys its window, and
// the view's with it, and ends the frame.
struct Frame : platform::IWindowClient {
    explicit Frame(platform::PosixPlatform& p) : m_p(p) {}
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        if (message != platform::kWmClose) return 0;
        m_p.m_windows.DestroyWindow(m_hWnd);
        EndFrame(
            [this] {
                m_bDeletedInLoop = !m_bLoopEnded;
                delete m_pView;
                m_pView = nullptr;
            },
            [this] { m_p.m_windows.PostQuit(0); });
        return 0;
    }
    platform::PosixPlatform& m_p;
    WindowHandle m_hWnd = 0;
    CBridgeView* m_pView = nullptr;
    bool m_bLoopEnded = false;
    bool m_bDeletedInLoop = false;
};

TEST(FrameEnd, CloseDuringACommandToSkypeEndsCleanlyAfterTheSend) {
    platform::PosixPlatform posix;
    ClosingSkype skype(posix);
    std::atomic<WindowHandle> skypeWindow{0};
    platform::ThreadId skypeThread = posix.m_windows.Start([&] {
        skype.m_hSelf = posix.m_windows.CreateWindow(&skype, L"Skype", 0);
        skypeWindow = skype.m_hSelf;
        posix.m_windows.Pump(platform::kForever);
    });
    while (skypeWindow == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    Frame frame(posix);
    frame.m_hWnd = posix.m_windows.CreateWindow(&frame, L"KovadoDeskLink", 0);
    frame.m_pView = new CBridgeView(posix.m_services);
    ASSERT_TRUE(frame.m_pView->Create(frame.m_hWnd));
    frame.m_pView->m_hSkypeWnd = skypeWindow.load();
    skype.m_hBridge = frame.m_pView->m_hWnd;
    skype.m_hFrame = frame.m_hWnd;
    posix.m_windows.Post(skypeWindow, kRing, 0, 0);

    // The program's message loop, then what follows it.
    bool quit = !posix.m_windows.Pump(posix.m_clock.NowMs() + 10000);
    frame.m_bLoopEnded = true;
    DeleteEndedFrame();
    EXPECT_TRUE(quit);
    EXPECT_EQ(posix.m_windows.QuitCode(), 0);
    EXPECT_EQ(frame.m_pView, nullptr);
    EXPECT_FALSE(frame.m_bDeletedInLoop);
    EXPECT_FALSE(posix.m_windows.IsWindow(frame.m_hWnd));
    if (frame.m_pView) {  // not ended: end it, so the threads stop
        delete frame.m_pView;
        frame.m_pView = nullptr;
    }

    posix.m_windows.Post(skypeWindow, platform::kWmClose, 0, 0);
    posix.m_windows.Join(skypeThread);
    EXPECT_EQ(skype.m_commands, std::vector<std::string>{"GET CALL 7 PARTNER_HANDLE"});
    EXPECT_EQ(skype.m_closeResult, 0);  // the close was handled, inside the send
}

}  // namespace
}  // namespace kovado
