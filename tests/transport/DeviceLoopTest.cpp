// The device loop's pace in virtual time: idle steps without a handset,
// passes of 5 ms plus the 300 ms read wait with one, a reply written in the
// pass of its request, and the handle closed by supervision between passes.
#include <gtest/gtest.h>

#include "discovery/DeviceWatcher.h"
#include "simulator/harness/SimBridge.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

// Times of the user handle requests Skype received in [from, to).
std::vector<std::uint64_t> HandleRequests(sim::SimBridge& bridge, std::uint64_t from,
                                          std::uint64_t to) {
    std::vector<std::uint64_t> times;
    for (const auto& command : bridge.m_skype.m_commands)
        if (command.text == "GET CURRENTUSERHANDLE" && command.atMs >= from && command.atMs < to)
            times.push_back(command.atMs);
    return times;
}

void ExpectSpacing(const std::vector<std::uint64_t>& times, std::uint64_t ms) {
    ASSERT_GE(times.size(), 2u);
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], ms) << i;
}

TEST(DeviceLoop, PacesItsPassesAndIdlesWithoutAHandset) {
    sim::SimBridge bridge;  // Skype never answers: the user handle stays unknown
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    auto& hid = bridge.m_sim.m_hid;

    // No handset: nothing is asked.
    bridge.RunFor(5000);
    EXPECT_TRUE(HandleRequests(bridge, 0, bridge.m_sim.Now()).empty());

    // A handset: within one idle step the passes begin, one every 305 ms.
    int handset = hid.AddDevice(0x0E5E, kModel6612);
    hid.BeginEnumeration();
    view.m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    view.m_nProductId = kModel6612;
    view.m_nReportLength = 49;
    view.m_bDeviceReady = 1;
    std::uint64_t opened = bridge.m_sim.Now();
    bridge.RunFor(4000);
    auto passes = HandleRequests(bridge, opened, bridge.m_sim.Now());
    ASSERT_FALSE(passes.empty());
    EXPECT_LE(passes[0] - opened, 1000u + 305u);
    ExpectSpacing(passes, 305);

    // A request is answered in the flush right after it.
    std::uint64_t asked = bridge.m_sim.Now();
    hid.QueueInput(handset, {0x00, ReportType::kEvent, Evt::GetModel, 0x00});
    bridge.RunFor(100);
    auto written = hid.WrittenTo(handset);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back().atMs, asked);
    EXPECT_EQ(std::vector<BYTE>(written.back().bytes.begin() + 2, written.back().bytes.begin() + 6),
              (std::vector<BYTE>{0x25, 0x02, 0x00, 0x01}));

    // Unplugged but not yet closed: reads fail at once, the pace stays.
    hid.Unplug(handset);
    std::uint64_t unplugged = bridge.m_sim.Now();
    bridge.RunFor(3000);
    ExpectSpacing(HandleRequests(bridge, unplugged, bridge.m_sim.Now()), 305);

    // Supervision closes the handle between passes; the loop idles again.
    view.m_pWatcher->CheckDevice();
    EXPECT_EQ(view.m_hDevice, 0u);
    EXPECT_EQ(hid.OpenHandles(), 0);
    std::uint64_t closed = bridge.m_sim.Now();
    bridge.RunFor(5000);
    EXPECT_LE(HandleRequests(bridge, closed, bridge.m_sim.Now()).size(), 1u)
        << "at most the pass that was under way";
}

// Quick replies: a report queued during the read wait is written at once and
// the pass goes on as after a timeout; whatever a flush has taken, or could
// not write, never ends a later wait, so the idle pace stays.
TEST(DeviceLoop, QuickRepliesEndTheReadWaitOnlyForWhatWasQueuedDuringIt) {
    sim::SimBridge bridge;  // Skype never answers: every pass asks for the user handle
    CBridgeView& view = *bridge.m_view;
    view.m_bQuickReply = 1;  // before the loops have run
    bridge.CreateWindows();
    bridge.Discover();
    auto& hid = bridge.m_sim.m_hid;
    int handset = hid.AddDevice(0x0E5E, kModel6612);
    hid.BeginEnumeration();
    view.m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    view.m_nProductId = kModel6612;
    view.m_nReportLength = 49;
    view.m_bDeviceReady = 1;
    bridge.RunFor(2000);
    auto pace = [&](std::uint64_t ms) {
        std::uint64_t from = bridge.m_sim.Now();
        bridge.RunFor(ms);
        return HandleRequests(bridge, from, bridge.m_sim.Now());
    };
    ExpectSpacing(pace(2000), 305);

    // Pushed some 100 ms into a wait: written at once, and that pass ends there.
    auto before = pace(400);
    ASSERT_FALSE(before.empty());
    bridge.RunFor(before.back() + 405 - bridge.m_sim.Now());
    const BYTE status[] = {Cmd::UserStatus, 2, 0x00, 0x01};
    std::uint64_t pushed = bridge.m_sim.Now();
    view.m_pWriter->PushMain(status, 0);
    auto after = pace(1000);
    auto written = hid.WrittenTo(handset);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back().atMs, pushed);
    EXPECT_EQ(written.back().bytes[2], Cmd::UserStatus);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after[0], pushed);  // the rest of the cut pass
    ExpectSpacing(after, 305);

    // A request answered from what the bridge holds: its reply, pushed before
    // the flush, does not end the next wait.
    hid.QueueInput(handset, {0x00, ReportType::kEvent, Evt::GetModel, 0x00});
    ExpectSpacing(pace(1500), 305);

    // Not ready: the flush writes nothing, and one push ends one wait only.
    view.m_bDeviceReady = 0;
    std::size_t count = hid.WrittenTo(handset).size();
    view.m_pWriter->PushMain(status, 0);
    auto stalled = pace(2000);
    ASSERT_GE(stalled.size(), 3u);
    stalled.erase(stalled.begin());
    ExpectSpacing(stalled, 305);
    EXPECT_EQ(hid.WrittenTo(handset).size(), count);
}

}  // namespace
}  // namespace kovado
