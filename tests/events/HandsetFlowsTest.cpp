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

TEST(HandsetFlows, TypicalCallFromRingingToHungUp) {
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    SimHandset handset(rig);
    rig.replies["GET CALL 123 PARTNER_HANDLE"] = {"CALL 123 PARTNER_HANDLE alice"};
    rig.replies["SET CALL 123 STATUS INPROGRESS"] = {"CALL 123 STATUS INPROGRESS"};
    rig.replies["SET CALL 123 STATUS FINISHED"] = {"CALL 123 STATUS FINISHED"};

    // Ringing: the caller's name goes out once; the acknowledgement stops the
    // resends that would follow every 300 ms.
    rig.bridge.m_skype.Notify("CALL 123 STATUS RINGING");
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"15 08 00 00 7B 61 6C 69 63 65"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"GET CALL 123 PARTNER_HANDLE", 3, 1}}));
    EXPECT_EQ(handset.m_nAcks, 1);
    EXPECT_TRUE(view.m_listKeyedAcks.empty());

    // Answered on the handset.
    handset.Request("10 00 7B");
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"1A 03 10 00 7B", "11 04 00 00 7B 05"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SET CALL 123 STATUS INPROGRESS", 3, 1}}));

    // Hung up on the handset.
    handset.Request("13 00 7B");
    rig.bridge.RunFor(3000);
    EXPECT_EQ(rig.TakeWritten(), HexList({"1A 03 13 00 7B", "14 04 00 00 7B 07"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"SET CALL 123 STATUS FINISHED", 3, 1},
                                                 {"minimize", 3, 1}}));

    EXPECT_EQ(handset.m_nAcks, 3);
    EXPECT_EQ(handset.m_nRetries, 0);
    EXPECT_TRUE(view.m_listKeyedAcks.empty());
    EXPECT_TRUE(view.m_listPendingAcks.empty());
    EXPECT_TRUE(view.m_listCalls.empty());
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
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
