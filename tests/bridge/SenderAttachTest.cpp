// The command sender, the attach handshake and the timers, end to end against
// the simulated Skype client.
#include <gtest/gtest.h>

#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "shell/DebugDlg.h"
#include "simulator/harness/SimBridge.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"
#include "transport/Thread.h"

namespace kovado {
namespace {

TEST(Sender, FailsWhileNotAttachedButStillSetsTheMode) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    CBridgeView& view = *bridge.m_view;
    view.m_strUserHandle = L"stale";
    view.SendSkypeCommand(L"search friends", 2, 1);
    EXPECT_EQ(view.m_hSkypeWnd, 0u);
    EXPECT_EQ(view.UserHandle(), L"");
    EXPECT_EQ(view.m_nReplyMode, 2);
    EXPECT_EQ(view.m_nReplySubMode, 1);
    EXPECT_TRUE(bridge.m_skype.m_commands.empty());
}

TEST(Sender, RefusedSendDetaches) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    ASSERT_NE(view.m_hSkypeWnd, 0u);
    bridge.m_skype.m_bRefuse = true;
    view.SendSkypeCommand(L"get userstatus", 3, 1);
    EXPECT_EQ(view.m_hSkypeWnd, 0u);
    EXPECT_EQ(view.m_nReplyMode, 3);
}

TEST(Sender, NonLatinTextSurvivesBothDirections) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    // Only the GET is echoed: the call handler asks the version after a status.
    bridge.m_skype.m_rules = [](const std::string& command) {
        if (command.rfind("GET ", 0) != 0) return std::vector<std::string>{};
        return std::vector<std::string>{"USERSTATUS " + command.substr(4)};
    };
    const std::wstring name = L"\u0418\u0432\u0430\u043d \u738b\u5c0f\u660e \U0001F600";
    view.m_nReplyMode = 0;
    view.SendSkypeCommand(L"GET " + name, 0, 1);
    ASSERT_EQ(bridge.m_skype.m_commands.size(), 1u);
    EXPECT_EQ(bridge.m_skype.m_commands[0].text, "GET " + ToUtf8(name));
    EXPECT_EQ(bridge.m_skype.m_commands[0].text,
              "GET \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E "
              "\xF0\x9F\x98\x80");
    bridge.RunFor(10);
    EXPECT_EQ(view.m_strNotification, L"USERSTATUS " + name);
}

TEST(Sender, RawSendAppendsOneNul) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    std::uint32_t seen = 0;
    bridge.m_skype.m_trace = [&](const char* what, const std::string& text) {
        if (std::string(what) == "command") seen = static_cast<std::uint32_t>(text.size());
    };
    BYTE buffer[46];
    for (int i = 0; i < 46; ++i) buffer[i] = 'a' + (i % 26);
    view.SendSkypeRaw(buffer, 45, 2, 0);
    EXPECT_EQ(buffer[45], 0);
    EXPECT_EQ(seen, 45u);
    ASSERT_EQ(bridge.m_skype.m_commands.size(), 1u);
    EXPECT_EQ(bridge.m_skype.m_commands[0].replyMode, 2);
    EXPECT_EQ(bridge.m_skype.m_commands[0].replySubMode, 0);
}

struct AttachCase {
    std::intptr_t status;
    const wchar_t* line;  // nullptr: nothing logged
    bool attaches;
};

TEST(Attach, StatusTable) {
    const AttachCase cases[] = {
        {0, L"!!! Connected; to terminate issue #disconnect", true},
        {1, L"!!! Pending authorization", false},
        {2, L"!!! Connection refused", false},
        {3, L"!!! Skype API not available", false},
        {0x8001, L"!!! Try connect now (API available); issue #connect", false},
        {4, nullptr, false},
    };
    for (const AttachCase& c : cases) {
        sim::SimBridge bridge;
        CBridgeView& view = *bridge.m_view;
        view.m_bDebug = 1;
        view.m_pDebugDlg = new CDebugDlg(bridge.m_sim.m_services);
        view.m_pDebugDlg->Create();
        bridge.CreateWindows();
        bridge.m_skype.m_attachStatuses = {c.status};
        bridge.Discover();
        EXPECT_EQ(view.m_hSkypeWnd != 0, c.attaches) << c.status;
        if (c.line) {
            ASSERT_EQ(view.m_pDebugDlg->m_lines.size(), 1u);
            EXPECT_EQ(view.m_pDebugDlg->m_lines[0], c.line);
        } else {
            EXPECT_TRUE(view.m_pDebugDlg->m_lines.empty());
        }
    }
}

TEST(Attach, LaterStatusZeroReplacesTheWindowOthersKeepIt) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    CBridgeView& view = *bridge.m_view;
    auto& windows = bridge.m_sim.m_windows;
    EXPECT_EQ(windows.Send(view.m_hWnd, view.m_nMsgAttach, 0x5000, 0), 1);
    EXPECT_EQ(view.m_hSkypeWnd, 0x5000u);
    for (std::intptr_t status : {1, 2, 3, 0x8001, 4})
        EXPECT_EQ(windows.Send(view.m_hWnd, view.m_nMsgAttach, 0x6000, status), 1);
    EXPECT_EQ(view.m_hSkypeWnd, 0x5000u);
    windows.Send(view.m_hWnd, view.m_nMsgAttach, 0x6000, 0);
    EXPECT_EQ(view.m_hSkypeWnd, 0x6000u);
}

TEST(Timers, NothingHappensWithoutADevice) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    view.m_bKeepAlive = 1;
    view.m_nProductId = kModel6621;
    view.m_bStatusAnswered = 0;
    view.m_bDeviceReady = 1;
    view.m_pRenderer->SendCallState(L"1", 4);  // waits for its acknowledgement
    bridge.m_sim.m_windows.SetTimer(view.m_hWnd, kStatusTimerId, 2000);
    bridge.RunFor(5000);
    EXPECT_TRUE(bridge.m_skype.m_commands.empty());
    EXPECT_EQ(QueuedReports(view.m_pWriter->m_nMainHead, view.m_pWriter->m_nMainTail), 1)
        << "sent once, never again; no keep-alive";
    EXPECT_EQ(view.m_listKeyedAcks.front().ticks, 0);
    EXPECT_EQ(view.m_nStatusQueryTicks, 0);
}

TEST(Timers, StatusPollKeepAliveAndStatusQueryWithADevice) {
    sim::SimBridge bridge;
    bridge.m_view->m_pDeviceThread->Stop();  // the queues are flushed by hand here
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    auto& hid = bridge.m_sim.m_hid;
    int handset = hid.AddDevice(0x0E5E, kModel6611);
    hid.BeginEnumeration();
    view.m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    view.m_nReportLength = 49;
    view.m_bKeepAlive = 1;
    view.m_nProductId = kModel6611;
    view.m_pRenderer->SendCallState(L"1", 4);  // waits for its acknowledgement
    bridge.m_sim.m_windows.SetTimer(view.m_hWnd, kStatusTimerId, 2000);
    bridge.RunFor(2010);
    // 40 ticks of 50 ms and one status tick: 41 timer messages, each a resend
    // tick (the call state goes again on every sixth) and a keep-alive tick
    // (a blank report on every ninth).
    EXPECT_EQ(view.m_listKeyedAcks.front().ticks, 41 % 6);
    // The handset is not ready yet: everything waits in the main queue.
    EXPECT_TRUE(hid.WrittenTo(handset).empty());
    view.m_bDeviceReady = 1;
    view.m_pWriter->FlushQueues();
    auto written = hid.WrittenTo(handset);
    int blanks = 0, callStates = 0;
    for (const auto& report : written) {
        ASSERT_EQ(report.bytes.size(), 49u);
        if (std::vector<BYTE>(report.bytes.begin(), report.bytes.begin() + 4) ==
            std::vector<BYTE>{0, 0, 0, 0})
            ++blanks;
        if (report.bytes[1] == ReportType::kCommand && report.bytes[2] == Cmd::CallState)
            ++callStates;
    }
    EXPECT_EQ(blanks, 41 / 9);
    EXPECT_EQ(callStates, 1 + 41 / 6);
    view.m_bDeviceReady = 0;
    ASSERT_EQ(bridge.m_skype.m_commands.size(), 1u);
    EXPECT_EQ(bridge.m_skype.m_commands[0].text, "get userstatus");
    EXPECT_EQ(bridge.m_skype.m_commands[0].replyMode, 3);
    EXPECT_EQ(view.m_bStatusRefresh, 0) << "only the 0x6621 handset refreshes";

    // The 0x6621 handset repeats an unanswered status query every sixth tick.
    view.m_bKeepAlive = 0;
    view.m_nProductId = kModel6621;
    view.m_bStatusAnswered = 0;
    view.m_nStatusQueryTicks = 0;
    bridge.RunFor(250);  // five ticks
    EXPECT_EQ(view.m_nStatusQueryTicks, 5);
    EXPECT_EQ(hid.WrittenTo(handset).size(), written.size());
    bridge.RunFor(50);
    EXPECT_EQ(view.m_nStatusQueryTicks, 0);
    auto after = hid.WrittenTo(handset);
    ASSERT_EQ(after.size(), written.size() + 1);
    EXPECT_EQ(std::vector<BYTE>(after.back().bytes.begin(), after.back().bytes.begin() + 4),
              (std::vector<BYTE>{0x00, 0x08, 0x0F, 0x00}));
}

// On the 0x6621 handset the status timer polls, asks for a status refresh,
// and also counts as a tick of the unanswered status query.
TEST(Timers, StatusTimerOnThe6621RefreshesAndCountsAStatusQueryTick) {
    sim::SimBridge bridge;
    bridge.m_view->m_pDeviceThread->Stop();
    bridge.CreateWindows();
    bridge.Discover();
    CBridgeView& view = *bridge.m_view;
    auto& hid = bridge.m_sim.m_hid;
    int handset = hid.AddDevice(0x0E5E, kModel6621);
    hid.BeginEnumeration();
    view.m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    view.m_nReportLength = 65;
    view.m_nProductId = kModel6621;
    view.m_bStatusAnswered = 0;
    view.m_nStatusQueryTicks = 0;
    bridge.m_sim.m_windows.SetTimer(view.m_hWnd, kStatusTimerId, 2000);
    bridge.RunFor(2010);

    // 40 ticks of 50 ms and the status tick: 41 counted, a query every sixth.
    EXPECT_EQ(view.m_nStatusQueryTicks, 41 % 6);
    int queries = 0;
    for (const auto& report : hid.WrittenTo(handset))
        if (std::vector<BYTE>(report.bytes.begin(), report.bytes.begin() + 4) ==
            std::vector<BYTE>{0x00, 0x08, 0x0F, 0x00})
            ++queries;
    EXPECT_EQ(queries, 41 / 6);
    EXPECT_EQ(view.m_bStatusRefresh, 1);
    ASSERT_EQ(bridge.m_skype.m_commands.size(), 1u);
    EXPECT_EQ(bridge.m_skype.m_commands[0].text, "get userstatus");
    EXPECT_EQ(bridge.m_skype.m_commands[0].replyMode, 3);
    EXPECT_EQ(bridge.m_skype.m_commands[0].replySubMode, 1);
}

}  // namespace
}  // namespace kovado
