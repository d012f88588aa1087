// Call and status notifications from Skype, through the router, as commands
// for the handset and requests back to Skype.
#include <gtest/gtest.h>

#include <ostream>

#include "bridge/CallHandler.h"
#include "display/DisplayRenderer.h"
#include "tests/bridge/HandlerRig.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

using test::FromHex;
using test::HexList;
using test::Sent;

// Main-queue commands about call 12 (00 0C).
const char* const kRinging12 = "11 04 00 00 0C 04";
const char* const kInProgress12 = "11 04 00 00 0C 05";
const char* const kFinished12 = "14 04 00 00 0C 07";

struct CallCase {
    const char* name;
    std::vector<std::string> notifications;
    std::vector<std::string> main;  // pushed for the handset, in order
    std::vector<Sent> sent;         // Skype commands, with their reply modes
};
void PrintTo(const CallCase& c, std::ostream* out) { *out << c.name; }

class CallTable : public ::testing::TestWithParam<CallCase> {};

TEST_P(CallTable, TellsTheHandsetEachChangeOnce) {
    const CallCase& c = GetParam();
    test::HandlerRig rig;
    rig.NotifyAll(c.notifications);
    EXPECT_EQ(test::TakeMain(rig.view), HexList(c.main));
    EXPECT_EQ(rig.TakeSent(), c.sent);
    EXPECT_TRUE(rig.view.m_listCalls.empty()) << "every one of these calls ends its entry";
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CallTable,
    ::testing::Values(
        CallCase{"OutgoingAnsweredHungUp",
                 {"CALL 12 STATUS ROUTING", "CALL 12 STATUS RINGING", "CALL 12 DURATION 30",
                  "CALL 12 STATUS INPROGRESS", "CALL 12 STATUS FINISHED"},
                 {kRinging12, kInProgress12, kFinished12},
                 {}},
        CallCase{"IncomingAnswered",
                 {"CALL 12 STATUS RINGING", "CALL 12 PARTNER_HANDLE  bob.smith",
                  "CALL 12 STATUS INPROGRESS", "CALL 12 STATUS FINISHED"},
                 {"15 0C 00 00 0C 62 6F 62 2E 73 6D 69 74 68", kInProgress12, kFinished12},
                 {{"GET CALL 12 PARTNER_HANDLE", 3, 1}}},
        CallCase{"IncomingMissed",
                 {"CALL 12 STATUS RINGING", "CALL 12 PARTNER_HANDLE bob",
                  "CALL 12 STATUS MISSED"},
                 {"15 06 00 00 0C 62 6F 62", "14 04 00 00 0C 08"},
                 {{"GET CALL 12 PARTNER_HANDLE", 3, 1}}},
        CallCase{"RefusedByTheFarEnd",
                 {"CALL 12 STATUS ROUTING", "CALL 12 STATUS RINGING", "CALL 12 STATUS REFUSED"},
                 {kRinging12, "14 04 00 00 0C 09"},
                 {}},
        // The reason r reaches the handset as the dial's result 0xA0 + r.
        CallCase{"FailedWithReason",
                 {"CALL 12 STATUS ROUTING", "CALL 12 FAILUREREASON 3", "CALL 12 STATUS FAILED"},
                 {"11 03 A3 00 0C"},
                 {{"HOOK ON", 3, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CallHandler, RepeatsAndOutOfOrderEndingsSendNothing) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;

    // A second ring of an incoming call: no second request, no command.
    rig.NotifyAll({"CALL 12 STATUS RINGING", "CALL 12 STATUS RINGING"});
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"GET CALL 12 PARTNER_HANDLE", 3, 1}}));
    // Finished while only ringing: nothing, and the entry stays.
    rig.Notify("CALL 12 STATUS FINISHED");
    EXPECT_TRUE(test::TakeMain(view).empty());
    ASSERT_EQ(view.m_listCalls.size(), 1u);
    EXPECT_EQ(view.m_listCalls.front().state, 1);

    // In progress twice: told once; missed from in progress: nothing.
    rig.NotifyAll({"CALL 12 STATUS INPROGRESS", "CALL 12 STATUS INPROGRESS",
                   "CALL 12 STATUS MISSED", "CALL 12 STATUS REFUSED"});
    EXPECT_EQ(test::TakeMain(view), HexList({kInProgress12}));
    ASSERT_EQ(view.m_listCalls.size(), 1u);
    EXPECT_EQ(view.m_listCalls.front().state, 2);

    // A status for a call never seen changes nothing.
    rig.NotifyAll({"CALL 40 STATUS INPROGRESS", "CALL 40 STATUS FINISHED"});
    EXPECT_TRUE(test::TakeMain(view).empty());
    EXPECT_EQ(view.m_listCalls.size(), 1u);
    EXPECT_TRUE(rig.TakeSent().empty());
}

TEST(CallHandler, TwoRoutingEntriesAndFinishedRemovesTheFirstOnly) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    rig.NotifyAll({"CALL 12 STATUS ROUTING", "CALL 12 STATUS ROUTING"});
    ASSERT_EQ(view.m_listCalls.size(), 2u);
    rig.NotifyAll({"CALL 12 STATUS RINGING", "CALL 12 STATUS INPROGRESS",
                   "CALL 12 STATUS FINISHED"});
    EXPECT_EQ(test::TakeMain(view), HexList({kRinging12, kInProgress12, kFinished12}));
    ASSERT_EQ(view.m_listCalls.size(), 1u);
    EXPECT_EQ(view.m_listCalls.front().id, L"12");
    EXPECT_EQ(view.m_listCalls.front().state, 0) << "the second entry was never touched";
    // A failure reason removes the remaining one and forgets where it was.
    rig.Notify("CALL 12 FAILUREREASON 1");
    EXPECT_TRUE(view.m_listCalls.empty());
    EXPECT_EQ(view.m_pCallHandler->m_pEntry, nullptr);
    EXPECT_EQ(test::TakeMain(view), HexList({"11 03 A1 00 0C"}));
}

TEST(CallHandler, FailureReasonAndErrorAnswerThePendingRequest) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    // A dial is pending (code 15) but Skype never reported the call.
    view.m_pRenderer->m_nRequestCode = Evt::Dial;
    rig.Notify("CALL 99 FAILUREREASON 8");
    EXPECT_EQ(test::TakeMain(view), HexList({"11 03 A8 00 63"}));
    rig.Notify("ERROR 68 Invalid call id");
    EXPECT_EQ(test::TakeMain(view), HexList({"11 01 44"}));
    // No call request pending: an error has nobody to go to.
    view.m_pRenderer->m_nRequestCode = Evt::GetContactStatus;
    rig.Notify("ERROR 68 Invalid call id");
    EXPECT_TRUE(test::TakeMain(view).empty());
    EXPECT_EQ(view.m_pCallHandler->m_strWork, L"68");
}

struct StatusCase {
    const char* text;
    BYTE status;
};

TEST(CallHandler, UserStatusWordsInTheirOrder) {
    const StatusCase cases[] = {{"USERSTATUS ONLINE", 0},    {"USERSTATUS OFFLINE", 1},
                                {"USERSTATUS AWAY", 2},      {"USERSTATUS NA", 3},
                                {"USERSTATUS DND", 4},       {"USERSTATUS INVISIBLE", 5},
                                {"USERSTATUS LOGGEDOUT", 6}, {"USERSTATUS UNKNOWN", 7},
                                {"USERSTATUS SKYPEOUT", 8},  {"USERSTATUS SKYPEME", 9},
                                {"USERSTATUS BUSY", 10}};
    test::HandlerRig rig;
    for (const StatusCase& c : cases) {
        rig.Notify(c.text);
        EXPECT_EQ(test::TakeMain(rig.view), (std::vector<test::Bytes>{{0x16, 2, 0, c.status}}))
            << c.text;
        EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"get skypeversion", 3, 1}})) << c.text;
    }
}

TEST(CallHandler, DoNotDisturbWakesThe6621Handset) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    view.m_nProductId = kModel6621;
    view.m_bDeviceReady = 0;
    view.m_bStatusRefresh = 0;
    view.m_bStatusAnswered = 1;
    rig.Notify("USERSTATUS DND");
    EXPECT_EQ(view.m_bStatusRefresh, 1);
    EXPECT_EQ(view.m_bStatusAnswered, 0) << "status query written";
    EXPECT_EQ(test::TakeMain(view), HexList({"16 02 00 04"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"get skypeversion", 3, 1}}));

    // DND again with the refresh pending: no second query.
    view.m_bStatusAnswered = 1;
    rig.Notify("USERSTATUS DND");
    EXPECT_EQ(view.m_bStatusAnswered, 1);
    // Any other status while the refresh is pending: queried, sent, refresh done.
    rig.Notify("USERSTATUS ONLINE");
    EXPECT_EQ(view.m_bStatusAnswered, 0);
    EXPECT_EQ(view.m_bStatusRefresh, 0);
    // Not ready and no refresh: neither a query nor a status.
    view.m_bStatusAnswered = 1;
    test::TakeMain(view);
    rig.Notify("USERSTATUS AWAY");
    EXPECT_EQ(view.m_bStatusAnswered, 1);
    EXPECT_TRUE(test::TakeMain(view).empty());
}

TEST(CallHandler, RoutingOrRingingWakesTheUnready6621) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    view.m_nProductId = kModel6621;
    view.m_bDeviceReady = 0;
    view.m_bStatusAnswered = 1;
    // A queued report shows whether the queues were emptied.
    auto queueMarkerAndNotify = [&](const char* text) {
        BYTE marker[3] = {0x11, 1, 0};
        view.m_pWriter->PushMain(marker, 0);
        rig.Notify(text);
        return test::TakeMain(view).empty();
    };
    EXPECT_TRUE(queueMarkerAndNotify("CALL 3 STATUS ROUTING"));
    EXPECT_EQ(view.m_bStatusAnswered, 0);
    EXPECT_EQ(view.m_pRenderer->m_nRequestCode, Evt::Dial);
    EXPECT_TRUE(queueMarkerAndNotify("CALL 4 STATUS RINGING"));
    // Early media is a ring without the wake-up.
    EXPECT_FALSE(queueMarkerAndNotify("CALL 5 STATUS EARLYMEDIA"));
    EXPECT_EQ(view.m_listCalls.size(), 3u);
}

TEST(CallHandler, SkypeVersionNewerFrom14) {
    const std::pair<const char*, BYTE> cases[] = {
        {"SKYPEVERSION 1.3.0.66", 0}, {"SKYPEVERSION 1.4.0.84", 1}, {"SKYPEVERSION 2.0", 1},
        {"SKYPEVERSION 10.0", 1},     {"SKYPEVERSION 0.98", 0},     {"SKYPEVERSION beta", 0}};
    test::HandlerRig rig;
    for (const auto& [text, newer] : cases) {
        rig.view.m_bSkypeNewer = newer ? 0 : 1;
        rig.Notify(text);
        EXPECT_EQ(rig.view.m_bSkypeNewer, newer) << text;
    }
}

}  // namespace
}  // namespace kovado
