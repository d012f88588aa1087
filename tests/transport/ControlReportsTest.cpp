// The control reports written outside the queues: status query and link set-up.
#include <gtest/gtest.h>

#include "tests/transport/WriterRig.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

using test::Command;
using test::WriterRig;
using Bytes = std::vector<BYTE>;

TEST(ControlReports, StatusQueryEndsTheExchangeAndSkipsKeepAlive) {
    for (BOOL ctrlPipe : {1, 0}) {
        WriterRig rig;
        CBridgeView& view = rig.view;
        view.m_bCtrlPipe = ctrlPipe;
        view.m_bDeviceReady = 0;  // control reports do not wait for readiness
        view.m_bStatusAnswered = 1;
        view.m_nReplyMode = kModeAwaitReply;  // a handset request waits for Skype
        view.m_bKeepAlive = 1;
        view.m_nKeepAliveTicks = 5;
        view.WriteStatusQuery();

        auto written = rig.Written();
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].path, ctrlPipe ? platform::SimHid::Path::Feature
                                            : platform::SimHid::Path::Interrupt);
        ASSERT_EQ(written[0].bytes.size(), 65u);
        EXPECT_EQ(Bytes(written[0].bytes.begin(), written[0].bytes.begin() + 4),
                  (Bytes{0x00, 0x08, 0x0F, 0x00}));
        EXPECT_EQ(view.m_bStatusAnswered, 0);
        EXPECT_EQ(view.m_nReplyMode, kModeIdle);
        EXPECT_EQ(view.m_nKeepAliveTicks, 5);
        EXPECT_EQ(rig.Log(), std::vector<std::wstring>{L"080F00"});
    }
}

// Two reports 300 ms apart; the second leaves the tail of the first in the
// buffer. The writer's lock is free during the pause: a queued report written
// meanwhile goes out between them.
TEST(ControlReports, LinkSetupWritesBothReportsAndReleasesTheLockBetween) {
    WriterRig rig;
    CBridgeView& view = rig.view;
    view.m_aDirectReport.fill(0xEE);
    auto& windows = rig.bridge.m_sim.m_windows;
    std::uint64_t start = rig.Now();
    platform::ThreadId other = windows.Start([&] {
        rig.bridge.m_sim.m_clock.Sleep(100);
        Bytes status = Command(Cmd::UserStatus, {0x00, 0x01});
        rig.writer.PushMain(status.data(), 0);
        rig.writer.FlushQueues();
    });
    view.m_nReplyMode = kModeNoReply;
    view.WriteLinkSetup();
    windows.Join(other);

    auto written = rig.Written();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].atMs - start, 0u);
    EXPECT_EQ(Bytes(written[0].bytes.begin(), written[0].bytes.begin() + 9),
              (Bytes{0x00, 0x0C, 0x00, 0x04, 0x01, 0x03, 0x0C, 0x00, 0xEE}));
    EXPECT_EQ(written[1].atMs - start, 100u);
    EXPECT_EQ(written[1].bytes[2], Cmd::UserStatus);
    EXPECT_EQ(written[2].atMs - start, 300u);
    EXPECT_EQ(Bytes(written[2].bytes.begin(), written[2].bytes.begin() + 9),
              (Bytes{0x00, 0x08, 0x41, 0x02, 0x01, 0x41, 0x0C, 0x00, 0xEE}));
    EXPECT_EQ(Bytes(view.m_aDirectReport.begin(), view.m_aDirectReport.begin() + 8),
              (Bytes{0x00, 0x08, 0x41, 0x02, 0x01, 0x41, 0x0C, 0x00}));
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
    // The other thread's line waits until this thread handles sends again.
    EXPECT_EQ(rig.Log(),
              (std::vector<std::wstring>{L"0C000401030C00", L"0841020141", L"0216020001"}));
}

}  // namespace
}  // namespace kovado
