// The notification router: which handler sees a notification in which
// conversation state, and what the state becomes.
#include <gtest/gtest.h>

#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "shell/DebugDlg.h"
#include "simulator/harness/SimBridge.h"
#include "tests/bridge/HandlerRig.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

// Each case starts with call 5 being placed and a handset request pending
// (search code and property path); a handler's hand shows in what it does:
// the search handler answers on the Talvery queue, the call handler on the
// main queue, a pass-through reply goes to the handset as text.
struct RouteCase {
    const char* name;
    BYTE mode, subMode;
    BYTE searchCode;
    const char* query;
    const char* text;
    bool toSearch, toCall, toHandset;
    BYTE modeAfter;
};

void PrintTo(const RouteCase& c, std::ostream* out) { *out << c.name; }

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
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    int handset = OpenHandset(rig.bridge);
    view.m_listCalls.push_back(CallEntry{L"5", 0});
    view.m_pRenderer->m_nRequestCode = Evt::Dial;
    view.m_pSearchHandler->m_nRequestCode = c.searchCode;
    view.m_pSearchHandler->SetQuery(Widen(c.query));
    view.m_nReplyMode = c.mode;
    view.m_nReplySubMode = c.subMode;
    rig.Notify(c.text);

    std::wstring text = FromUtf8(std::string(c.text));
    EXPECT_EQ(!test::TakeTalvery(view).empty(), c.toSearch);
    EXPECT_EQ(!test::TakeMain(view).empty(), c.toCall);
    EXPECT_EQ(TextSentTo(rig.bridge, handset), c.toHandset ? std::string(c.text) : std::string());
    EXPECT_EQ(view.m_nReplyMode, c.modeAfter);
    EXPECT_EQ(rig.bridge.m_skype.m_notifyResults, std::vector<std::intptr_t>{1});
}

// "USER bob FULLNAME ERROR Man" is a contact's name that the call handler
// would take for an error reply, and the search handler for the name asked.
INSTANTIATE_TEST_SUITE_P(
    Table, RouterTest,
    ::testing::Values(
        RouteCase{"LoggedOutReachesNoHandler", 2, 1, Evt::GetDisplayName, "CONNSTATUS",
                  "CONNSTATUS LOGGEDOUT", false, false, false, 2},
        RouteCase{"UserDroppedOutsideMode2", 3, 1, Evt::GetDisplayName, "USER bob FULLNAME",
                  "USER bob FULLNAME ERROR Man", false, false, false, 3},
        RouteCase{"UserDroppedInIdle", 0, 1, Evt::GetDisplayName, "USER bob FULLNAME",
                  "USER bob FULLNAME ERROR Man", false, false, false, 0},
        RouteCase{"UserToSearchInMode2Sub1", 2, 1, Evt::GetDisplayName, "USER bob FULLNAME",
                  "USER bob FULLNAME ERROR Man", true, false, false, 3},
        RouteCase{"CallGoesToSearchThenCall", 2, 1, Evt::GetPartnerHandle, "CALL 5",
                  "CALL 5 STATUS RINGING", true, true, false, 3},
        RouteCase{"HistoryStatusStaysWithSearch", 2, 1, Evt::GetPartnerDisplayName,
                  "CALL 5 STATUS", "CALL 5 STATUS MISSED", true, false, false, 3},
        RouteCase{"PassThroughToHandset", 2, 0, Evt::GetPartnerHandle, "CALL 5",
                  "CALL 5 STATUS RINGING", false, false, true, 3},
        RouteCase{"Mode2OtherSubCallOnly", 2, 2, Evt::GetPartnerHandle, "CALL 5",
                  "CALL 5 STATUS RINGING", false, true, false, 2},
        RouteCase{"Mode2OtherSubDropsRest", 2, 2, Evt::GetDisplayName, "USER bob FULLNAME",
                  "USERSTATUS ONLINE", false, false, false, 2},
        // The call handler asks the version after a status: mode 3.
        RouteCase{"IdleToCallHandler", 0, 1, Evt::GetDisplayName, "USER bob FULLNAME",
                  "USERSTATUS AWAY", false, true, false, 3},
        RouteCase{"Mode3ToCallHandler", 3, 2, Evt::GetPartnerHandle, "CALL 5",
                  "CALL 5 STATUS RINGING", false, true, false, 3}),
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
    EXPECT_TRUE(test::TakeMain(view).empty());
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
        EXPECT_TRUE(test::TakeTalvery(view).empty());
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

// Outside mode 2 the router only records the focused contact: the focus
// state stays and the handset is told nothing.
TEST(Router, FocusedContactOutsideMode2SetsTheFieldOnly) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    view.m_nReplyMode = 0;
    view.m_pSearchHandler->m_nFocusState = 1;
    rig.Notify("CONTACTS FOCUSED echo123");
    EXPECT_EQ(view.m_pSearchHandler->Focused(), L"echo123");
    rig.Notify("CONTACTS FOCUSED ");
    EXPECT_EQ(view.m_pSearchHandler->Focused(), L"");
    EXPECT_EQ(view.m_pSearchHandler->m_nFocusState, 1);
    EXPECT_TRUE(test::TakeTalvery(view).empty());
    EXPECT_TRUE(test::TakeMain(view).empty());
}

// Any program can send copy-data to the view: only the window that attached
// speaks for Skype. A stranger's valid notification, or Skype's own before it
// attached, is answered 0 and reaches no handler.
TEST(Router, OnlyTheAttachedWindowSpeaksForSkype) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    view.m_bDebug = 1;
    view.m_pDebugDlg = new CDebugDlg(rig.bridge.m_services);
    view.m_pDebugDlg->m_pOwner = &view;
    view.m_pDebugDlg->Create();
    platform::SimSkype stranger(rig.bridge.m_sim);
    stranger.Start();
    stranger.m_hClient = view.m_hWnd;
    stranger.Notify("CALL 5 STATUS RINGING");
    rig.bridge.RunFor(20);
    EXPECT_EQ(stranger.m_notifyResults, std::vector<std::intptr_t>{0});
    EXPECT_TRUE(view.m_listCalls.empty());
    EXPECT_TRUE(rig.TakeSent().empty()) << "nobody was asked for the caller";
    ASSERT_FALSE(view.m_pDebugDlg->m_lines.empty());
    EXPECT_NE(view.m_pDebugDlg->m_lines.front().find(L"not Skype's"), std::wstring::npos);

    rig.Notify("CALL 5 STATUS RINGING");
    EXPECT_EQ(rig.bridge.m_skype.m_notifyResults, std::vector<std::intptr_t>{1});
    EXPECT_EQ(view.m_listCalls.size(), 1u);
    EXPECT_EQ(rig.TakeSent(), (std::vector<test::Sent>{{"GET CALL 5 PARTNER_HANDLE", 3, 1}}));
    stranger.Stop();
}

TEST(Router, NothingIsRoutedBeforeAnAttach) {
    sim::SimBridge bridge;
    bridge.m_skype.m_attachStatuses = {};  // never attaches
    bridge.CreateWindows();
    CBridgeView& view = *bridge.m_view;
    bridge.m_skype.m_hClient = view.m_hWnd;
    bridge.m_skype.Notify("CALL 5 STATUS RINGING");
    bridge.RunFor(20);
    EXPECT_EQ(bridge.m_skype.m_notifyResults, std::vector<std::intptr_t>{0});
    EXPECT_TRUE(view.m_listCalls.empty());
    EXPECT_TRUE(bridge.m_skype.m_commands.empty());
}

TEST(Router, DataWithoutNulIsDecodedUpToItsCount) {
    sim::SimBridge bridge;
    CBridgeView& view = *bridge.m_view;
    const platform::WindowHandle skype = bridge.m_skype.m_hWnd;
    view.m_hSkypeWnd = skype;  // the copy-data comes from the attached window
    const char raw[] = {'U', 'S', 'E', 'R', 'S', 'T', 'A', 'T', 'U', 'S', ' ', 'N', 'A', 'X'};
    platform::CopyData data;
    data.cbData = 13;  // the trailing 'X' is outside the count
    data.lpData = raw;
    view.OnCopyData(skype, &data);
    EXPECT_EQ(view.m_strNotification, L"USERSTATUS NA");
    const char withNul[] = {'A', 0, 'B'};
    data.cbData = 3;
    data.lpData = withNul;
    view.OnCopyData(skype, &data);
    EXPECT_EQ(view.m_strNotification, L"A");
}

}  // namespace
}  // namespace kovado
