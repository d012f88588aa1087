// The notification router: which handler sees a notification in which
// conversation state, and what the state becomes.
#include <gtest/gtest.h>

#include "bridge/CallHandler.h"
#include "bridge/SearchHandler.h"
#include "platform/Text.h"
#include "simulator/harness/SimBridge.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

struct RouteCase {
    const char* name;
    BYTE mode, subMode;
    const char* text;
    bool toSearch, toCall, toHandset;
    BYTE modeAfter;
};

class RouterTest : public ::testing::TestWithParam<RouteCase> {};

// Opens a simulated 0x6621 handset as the view's device; returns its number.
int OpenHandset(sim::SimBridge& bridge) {
    auto& hid = bridge.m_sim.m_hid;
    int device = hid.AddDevice(0x0E5E, kModel6621);
    hid.BeginEnumeration();
    bridge.m_view->m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    bridge.m_view->m_nReportLength = 65;
    return device;
}

// The characters of the text reports written to a device, in order.
std::string TextSentTo(sim::SimBridge& bridge, int device) {
    std::string text;
    for (const auto& report : bridge.m_sim.m_hid.WrittenTo(device)) {
        if (report.bytes[1] != 0x04) continue;
        auto chars = report.bytes.begin() + 4;
        text.append(chars, chars + report.bytes[3]);
    }
    return text;
}

TEST_P(RouterTest, RoutesByConversationState) {
    const RouteCase& c = GetParam();
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    int handset = OpenHandset(bridge);
    view.m_nReplyMode = c.mode;
    view.m_nReplySubMode = c.subMode;
    bridge.m_skype.Notify(c.text);
    bridge.RunFor(10);

    std::wstring text = FromUtf8(std::string(c.text));
    EXPECT_EQ(!view.m_pSearchHandler->m_seen.empty(), c.toSearch);
    EXPECT_EQ(!view.m_pCallHandler->m_seen.empty(), c.toCall);
    if (c.toCall) {
        EXPECT_EQ(view.m_pCallHandler->m_seen.front(), text);
    }
    EXPECT_EQ(TextSentTo(bridge, handset), c.toHandset ? std::string(c.text) : std::string());
    EXPECT_EQ(view.m_nReplyMode, c.modeAfter);
    EXPECT_EQ(bridge.m_skype.m_notifyResults, std::vector<std::intptr_t>{1});
}

INSTANTIATE_TEST_SUITE_P(
    Table, RouterTest,
    ::testing::Values(
        RouteCase{"LoggedOutReachesNoHandler", 2, 1, "CONNSTATUS LOGGEDOUT", false, false, false, 2},
        RouteCase{"UserDroppedOutsideMode2", 3, 1, "USER bob ONLINESTATUS ONLINE", false, false, false, 3},
        RouteCase{"UserDroppedInIdle", 0, 1, "USER bob DISPLAYNAME Bob", false, false, false, 0},
        RouteCase{"UserToSearchInMode2Sub1", 2, 1, "USER bob DISPLAYNAME Bob", true, false, false, 2},
        RouteCase{"CallGoesToSearchThenCall", 2, 1, "CALL 5 STATUS RINGING", true, true, false, 2},
        RouteCase{"PassThroughToHandset", 2, 0, "CALL 5 STATUS RINGING", false, false, true, 3},
        RouteCase{"Mode2OtherSubCallOnly", 2, 2, "CALL 5 STATUS INPROGRESS", false, true, false, 2},
        RouteCase{"Mode2OtherSubDropsRest", 2, 2, "USERSTATUS ONLINE", false, false, false, 2},
        RouteCase{"IdleToCallHandler", 0, 1, "USERSTATUS AWAY", false, true, false, 0},
        RouteCase{"Mode3ToCallHandler", 3, 2, "CALL 7 STATUS FINISHED", false, true, false, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Router, LoggedOutDetachesAndForgetsTheUser) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    ASSERT_NE(view.m_hSkypeWnd, 0u);
    bridge.m_skype.Notify("CURRENTUSERHANDLE alice");
    bridge.RunFor(10);
    ASSERT_EQ(view.UserHandle(), L"alice");
    bridge.m_skype.Notify("CONNSTATUS LOGGEDOUT");
    bridge.RunFor(10);
    EXPECT_EQ(view.m_hSkypeWnd, 0u);
    EXPECT_EQ(view.UserHandle(), L"");
    EXPECT_TRUE(view.m_pCallHandler->m_seen.empty());
}

TEST(Router, UserHandleInAnyModeAndStatusQueryForUnready6621) {
    const BYTE command[] = {0x16, 0x02, 0x00, 0x00};
    for (BYTE mode : {0, 1, 2, 3}) {
        sim::SimBridge bridge;
        bridge.CreateWindows();
        bridge.Discover();
        CBridgeView& view = *bridge.m_view;
        CDeviceWriter& writer = *view.m_pWriter;
        int handset = OpenHandset(bridge);
        view.m_nReplyMode = mode;
        view.m_nReplySubMode = 0;
        view.m_nProductId = kModel6621;
        view.m_bDeviceReady = 0;
        view.m_bStatusAnswered = 1;
        writer.PushMain(command, 0);
        bridge.m_skype.Notify("CURRENTUSERHANDLE bob.smith");
        bridge.RunFor(10);
        EXPECT_EQ(view.UserHandle(), L"bob.smith") << int(mode);
        EXPECT_EQ(writer.m_nMainHead, 255) << "queues emptied";
        EXPECT_EQ(writer.m_nMainTail, 255);
        EXPECT_EQ(view.m_bStatusAnswered, 0) << "status query written";
        auto written = bridge.m_sim.m_hid.WrittenTo(handset);
        ASSERT_EQ(written.size(), 1u) << "the query only, never passed through";
        EXPECT_EQ(std::vector<BYTE>(written[0].bytes.begin(), written[0].bytes.begin() + 4),
                  (std::vector<BYTE>{0x00, 0x08, 0x0F, 0x00}));
        EXPECT_TRUE(view.m_pSearchHandler->m_seen.empty());
        EXPECT_EQ(view.m_nReplyMode, 0) << "a control report ends the exchange";

        // A ready handset (or another model) is left alone.
        view.m_nReplyMode = mode;
        view.m_bDeviceReady = 1;
        writer.PushMain(command, 0);
        bridge.m_skype.Notify("CURRENTUSERHANDLE carol");
        bridge.RunFor(10);
        EXPECT_EQ(view.UserHandle(), L"carol");
        EXPECT_EQ(QueuedReports(writer.m_nMainHead, writer.m_nMainTail), 1);
        EXPECT_EQ(bridge.m_sim.m_hid.WrittenTo(handset).size(), 1u);
        EXPECT_EQ(view.m_nReplyMode, mode);
    }
}

TEST(Router, FocusedContactAfterTheCallHandler) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    view.m_nReplyMode = 0;
    bridge.m_skype.Notify("CONTACTS FOCUSED echo123");
    bridge.RunFor(10);
    EXPECT_EQ(view.m_pSearchHandler->m_strFocused, L"echo123");
    EXPECT_EQ(view.m_pCallHandler->m_seen.size(), 1u);
    bridge.m_skype.Notify("CONTACTS FOCUSED ");
    bridge.RunFor(10);
    EXPECT_EQ(view.m_pSearchHandler->m_strFocused, L"");
    EXPECT_EQ(view.m_pCallHandler->m_seen.size(), 2u);
}

TEST(Router, DataWithoutNulIsDecodedUpToItsCount) {
    sim::SimBridge bridge;
    CBridgeView& view = *bridge.m_view;
    const char raw[] = {'U', 'S', 'E', 'R', 'S', 'T', 'A', 'T', 'U', 'S', ' ', 'N', 'A', 'X'};
    platform::CopyData data;
    data.cbData = 13;  // the trailing 'X' is outside the count
    data.lpData = raw;
    view.OnCopyData(0, &data);
    EXPECT_EQ(view.m_strNotification, L"USERSTATUS NA");
    const char withNul[] = {'A', 0, 'B'};
    data.cbData = 3;
    data.lpData = withNul;
    view.OnCopyData(0, &data);
    EXPECT_EQ(view.m_strNotification, L"A");
}

}  // namespace
}  // namespace kovado
