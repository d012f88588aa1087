// Whole conversations in virtual time, with the real device loop between a
// simulated Skype client and a simulated handset that acknowledges the call
// commands it receives and asks again when it is told it is busy.
#include <gtest/gtest.h>

#include <map>

#include "tests/transport/HandsetRig.h"

namespace kovado {
namespace {

using test::Bytes;
using test::HexList;
using test::Sent;

class SimHandset {
public:
    explicit SimHandset(test::HandsetRig& rig) : m_rig(rig) {
        auto& hid = rig.bridge.m_sim.m_hid;
        hid.At(rig.handset).onWrite = [this](int device, const platform::SimHid::Written& w) {
            OnWrite(device, w.bytes);
        };
    }
    ~SimHandset() { m_rig.bridge.m_sim.m_hid.At(m_rig.handset).onWrite = nullptr; }

    // A request of the handset ("code data..." in hex).
    void Request(const std::string& codeAndData) {
        Bytes report = test::EventReport(codeAndData);
        m_last[report[2]] = report;
        m_rig.bridge.m_sim.m_hid.QueueInput(m_rig.handset, report);
    }

    int m_nAcks = 0;
    int m_nRetries = 0;

private:
    void OnWrite(int device, const Bytes& report) {
        if (report[1] != ReportType::kCommand) return;
        const BYTE code = report[2], length = report[3];
        auto& hid = m_rig.bridge.m_sim.m_hid;
        if (code == Cmd::CallState || code == Cmd::CallEnded || code == Cmd::CallerName) {
            // The echo: the code and the data, without the length byte.
            Bytes ack{0x00, ReportType::kEvent, Evt::CommandAck, static_cast<BYTE>(1 + length),
                      code};
            ack.insert(ack.end(), report.begin() + 4, report.begin() + 4 + length);
            hid.QueueInput(device, ack, 20);
            ++m_nAcks;
        } else if (length == 1 && report[4] == Result::Busy && m_last.count(code)) {
            hid.QueueInput(device, m_last[code], 50);
            ++m_nRetries;
        }
    }

    test::HandsetRig& m_rig;
    std::map<BYTE, Bytes> m_last;
};

// The handset names a call by the two bytes it was given; Skype hears the
// call's full id, and every acknowledged command goes out once.
struct CallIdCase {
    const char* name;
    std::string id;     // as Skype numbers the call
    std::string bytes;  // the two bytes the handset gets, high first
};

void PrintTo(const CallIdCase& c, std::ostream* os) { *os << c.name; }

class TypicalCall : public ::testing::TestWithParam<CallIdCase> {};

TEST_P(TypicalCall, FromRingingToHungUp) {
    const CallIdCase& c = GetParam();
    const std::string& id = c.id;
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    SimHandset handset(rig);
    rig.replies["GET CALL " + id + " PARTNER_HANDLE"] = {"CALL " + id + " PARTNER_HANDLE alice"};
    rig.replies["SET CALL " + id + " STATUS INPROGRESS"] = {"CALL " + id + " STATUS INPROGRESS"};
    rig.replies["SET CALL " + id + " STATUS FINISHED"] = {"CALL " + id + " STATUS FINISHED"};
    rig.replies["GET CALL " + id + " TIMESTAMP"] = {"CALL " + id + " TIMESTAMP 0"};

    // Ringing: the caller's name goes out once; the acknowledgement stops the
    // resends that would follow every 300 ms.
    rig.bridge.m_skype.Notify("CALL " + id + " STATUS RINGING");
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"15 08 00 " + c.bytes + " 61 6C 69 63 65"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"GET CALL " + id + " PARTNER_HANDLE", 3, 1}}));
    EXPECT_EQ(handset.m_nAcks, 1);
    EXPECT_TRUE(view.m_listKeyedAcks.empty());

    // Answered on the handset.
    handset.Request("10 " + c.bytes);
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"1A 03 10 " + c.bytes, "11 04 00 " + c.bytes + " 05"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SET CALL " + id + " STATUS INPROGRESS", 3, 1}}));

    // A tone and the call's start time during the call.
    handset.Request("12 " + c.bytes + " 35");
    rig.bridge.RunFor(500);
    handset.Request("18 " + c.bytes);
    rig.bridge.RunFor(500);
    auto written = rig.TakeWritten();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], test::FromHex("12 01 00"));
    EXPECT_EQ(written[1][0], Cmd::CallTime);
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SET CALL " + id + " DTMF 5", 0, 1},
                                                 {"GET CALL " + id + " TIMESTAMP", 2, 1}}));

    // Hung up on the handset.
    handset.Request("13 " + c.bytes);
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"1A 03 13 " + c.bytes, "14 04 00 " + c.bytes + " 07"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SET CALL " + id + " STATUS FINISHED", 3, 1},
                                                 {"minimize", 3, 1}}));

    EXPECT_EQ(handset.m_nAcks, 3);
    EXPECT_EQ(handset.m_nRetries, 0);
    EXPECT_TRUE(view.m_listKeyedAcks.empty());
    EXPECT_TRUE(view.m_listPendingAcks.empty());
    EXPECT_TRUE(view.m_listCalls.empty());
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
}

INSTANTIATE_TEST_SUITE_P(Ids, TypicalCall,
                         ::testing::Values(CallIdCase{"Id123", "123", "00 7B"},
                                           CallIdCase{"Id65535", "65535", "FF FF"},
                                           CallIdCase{"Id65536", "65536", "00 00"},
                                           CallIdCase{"Id70000", "70000", "11 70"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The call history and the missed calls of a long Skype history: each call is
// asked about under its full id; 70001 and 135537 share their two bytes, and
// the one the handset was told last is the one it means.
TEST(HandsetFlows, HistoryOfIdsBeyond16Bits) {
    test::HandsetRig rig;
    SimHandset handset(rig);
    rig.replies["SEARCH CALLS"] = {"CALLS 70000, 70001"};
    rig.replies["search missedcalls"] = {"CALLS 135537"};
    rig.replies["GET CALL 70001 PARTNER_DISPNAME"] = {"CALL 70001 PARTNER_DISPNAME Bob"};
    rig.replies["GET CALL 70001 TYPE"] = {"CALL 70001 TYPE OUTGOING_P2P"};
    rig.replies["GET CALL 70000 TIMESTAMP"] = {"CALL 70000 TIMESTAMP 0"};
    rig.replies["GET CALL 135537 PARTNER_HANDLE"] = {"CALL 135537 PARTNER_HANDLE carol"};

    handset.Request("03");
    rig.bridge.RunFor(500);
    handset.Request("07 00 00 02");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeWritten(), HexList({"03 03 00 00 02", "07 05 00 11 70 11 71"}));
    handset.Request("2A 11 71");
    rig.bridge.RunFor(500);
    handset.Request("18 11 70");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SEARCH CALLS", 2, 1},
                                                 {"GET CALL 70001 PARTNER_DISPNAME", 2, 1},
                                                 {"GET CALL 70001 TYPE", 2, 1},
                                                 {"GET CALL 70000 TIMESTAMP", 2, 1}}));

    handset.Request("04");
    rig.bridge.RunFor(500);
    handset.Request("08 00 00 01");
    rig.bridge.RunFor(500);
    handset.Request("0E 11 71");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"search missedcalls", 2, 1},
                                                 {"GET CALL 135537 PARTNER_HANDLE", 2, 1}}));
    auto written = rig.TakeWritten();
    ASSERT_GE(written.size(), 3u);
    EXPECT_EQ(written[written.size() - 3], test::FromHex("04 03 00 00 01"));
    EXPECT_EQ(written[written.size() - 2], test::FromHex("08 03 00 11 71"));
    EXPECT_EQ(written.back(), test::FromHex("0E 06 00 63 61 72 6F 6C"));
    EXPECT_EQ(handset.m_nRetries, 0);
}

TEST(HandsetFlows, BrowseTheContacts) {
    test::HandsetRig rig;
    SimHandset handset(rig);
    rig.replies["search friends"] = {"USERS alice, bob, carol"};

    handset.Request("01");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"search friends", 2, 1}}));
    EXPECT_EQ(rig.TakeWritten(), HexList({"01 03 00 00 03"}));

    handset.Request("05 00 00 02");
    rig.bridge.RunFor(500);
    handset.Request("05 00 02 01");
    rig.bridge.RunFor(500);
    handset.Request("05 00 02 02");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeWritten(), HexList({"05 06 00 61 6C 69 63 65", "05 04 00 62 6F 62",
                                          "05 06 00 63 61 72 6F 6C", "05 01 B2"}));
    EXPECT_TRUE(rig.TakeSent().empty());
    EXPECT_EQ(rig.view.m_nReplyMode, kModeIdle);
}

// An empty range is answered with nothing and leaves the request in
// progress: the next request is told it is busy, which lets the conversation
// return to idle, and is answered when the handset asks again.
TEST(HandsetFlows, RequestAnsweredBusyIsAskedAgain) {
    test::HandsetRig rig;
    SimHandset handset(rig);
    rig.replies["search friends"] = {"USERS alice, bob, carol"};
    handset.Request("01");
    rig.bridge.RunFor(500);
    rig.TakeWritten();

    handset.Request("05 00 00 00");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.view.m_nReplyMode, kModeHandsetRequest);
    handset.Request("05 00 00 01");
    rig.bridge.RunFor(500);
    EXPECT_EQ(rig.TakeWritten(), HexList({"05 01 B1", "05 06 00 61 6C 69 63 65"}));
    EXPECT_EQ(handset.m_nRetries, 1);
    EXPECT_EQ(rig.view.m_nReplyMode, kModeIdle);
}

}  // namespace
}  // namespace kovado
