// Call commands on the main queue and their re-sending until the handset
// acknowledges them.
#include <gtest/gtest.h>

#include <functional>

#include "tests/display/RendererFixture.h"

namespace kovado {
namespace {

using test::Bytes;
using test::Hex;

struct ScheduleCase {
    const char* name;
    std::function<void(CDisplayRenderer&)> send;
    std::vector<Bytes> firstSend;
    std::vector<int> resendTicks;  // ticks on which the commands go out again
    std::size_t keyedLeft, pendingLeft;
};

TEST(ResendTick, SendsAgainEverySixthTickWithinTheLimit) {
    const std::vector<int> limited{6, 12, 18, 24, 30};
    const std::vector<int> unlimited{6, 12, 18, 24, 30, 36, 42, 48};
    const ScheduleCase cases[] = {
        {"call ended: five re-sends, then dropped",
         [](auto& r) { r.SendCallEnded(L"1234", 7); }, {Hex("14 04 00 04 D2 07")}, limited, 0, 0},
        {"call state: until acknowledged",
         [](auto& r) { r.SendCallState(L"1234", 4); }, {Hex("11 04 00 04 D2 04")}, unlimited, 1, 0},
        {"caller name: until acknowledged",
         [](auto& r) { r.SendCallerName(L"77", L"bob"); }, {test::Concat(Hex("15 06 00 00 4D"), "bob")},
         unlimited, 1, 0},
        {"call result without a call: limited, pending",
         [](auto& r) { r.m_nRequestCode = 15; r.SendCallResult(0x0B, L""); }, {Hex("11 01 0B")},
         limited, 0, 0},
        {"call result for a call: limited, keyed",
         [](auto& r) { r.m_nRequestCode = 19; r.SendCallResult(0x0B, L"5"); }, {Hex("14 03 0B 00 05")},
         limited, 0, 0},
        {"two limited entries dropped on the same tick",
         [](auto& r) { r.SendCallEnded(L"1", 7); r.SendCallEnded(L"2", 8); },
         {Hex("14 04 00 00 01 07"), Hex("14 04 00 00 02 08")}, limited, 0, 0},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::RendererFixture f;
        c.send(f.renderer);
        EXPECT_EQ(f.Main(), c.firstSend);
        std::vector<int> resent;
        for (int tick = 1; tick <= 50; ++tick) {
            f.renderer.ResendTick();
            std::vector<Bytes> sent = f.Main();
            if (sent.empty()) continue;
            resent.push_back(tick);
            EXPECT_EQ(sent, c.firstSend) << "tick " << tick;
        }
        EXPECT_EQ(resent, c.resendTicks);
        EXPECT_EQ(f.view.m_listKeyedAcks.size(), c.keyedLeft);
        EXPECT_EQ(f.view.m_listPendingAcks.size(), c.pendingLeft);
    }
}

TEST(KeyedAcks, OneEntryPerCallReplacedInPlace) {
    test::RendererFixture f;
    f.renderer.SendCallState(L"1", 4);
    f.renderer.SendCallState(L"1234", 4);
    f.renderer.SendCallState(L"2", 4);
    for (int i = 0; i < 4; ++i) f.renderer.ResendTick();
    f.renderer.SendCallState(L"1234", 5);
    f.renderer.SendCallEnded(L"2", 7);
    EXPECT_EQ(f.Main(), (std::vector<Bytes>{Hex("11 04 00 00 01 04"), Hex("11 04 00 04 D2 04"),
                                            Hex("11 04 00 00 02 04"), Hex("11 04 00 04 D2 05"),
                                            Hex("14 04 00 00 02 07")}));
    auto& keyed = f.view.m_listKeyedAcks;
    ASSERT_EQ(keyed.size(), 3u);
    auto it = keyed.begin();
    EXPECT_EQ(it->key, L"1");
    EXPECT_EQ(it->ticks, 4);
    ++it;
    EXPECT_EQ(it->key, L"1234");
    EXPECT_EQ(Bytes(it->command.begin(), it->command.begin() + 6), Hex("11 04 00 04 D2 05"));
    EXPECT_EQ(it->ticks, 0);
    EXPECT_FALSE(it->limited);
    ++it;
    EXPECT_EQ(it->key, L"2");
    EXPECT_TRUE(it->limited);

    // A waiting command about the call keeps its name from being sent at all;
    // the key is the id text exactly as given.
    f.renderer.SendCallerName(L"1234", L"alice");
    EXPECT_TRUE(f.Main().empty());
    EXPECT_EQ(keyed.size(), 3u);
    f.renderer.SendCallerName(L"01234", L"alice");
    EXPECT_EQ(f.Main(), std::vector<Bytes>{test::Concat(Hex("15 08 00 04 D2"), "alice")});
    EXPECT_EQ(keyed.size(), 4u);

    // A call result is appended beside an entry with the same key.
    f.renderer.m_nRequestCode = 16;
    f.renderer.SendCallResult(0x0B, L"1234");
    EXPECT_EQ(f.Main(), std::vector<Bytes>{Hex("11 03 0B 04 D2")});
    EXPECT_EQ(keyed.size(), 5u);
}

TEST(CallCommands, CallResultOnlyForDialAnswerAndHangUp) {
    const struct {
        BYTE request;
        std::vector<Bytes> sent;
    } cases[] = {{13, {}}, {0, {}}, {0x19, {}}, {15, {Hex("11 01 0B")}}, {16, {Hex("11 01 0B")}},
                 {19, {Hex("14 01 0B")}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.request));
        test::RendererFixture f;
        f.renderer.m_nRequestCode = c.request;
        f.renderer.SendCallResult(0x0B, L"");
        EXPECT_EQ(f.Main(), c.sent);
        EXPECT_EQ(f.view.m_listPendingAcks.size(), c.sent.size());
        if (!c.sent.empty()) {
            EXPECT_TRUE(f.view.m_listPendingAcks.front().limited);
        }
    }
}

TEST(CallCommands, LongCallerNameFitsItsSlotAtACharacterBoundary) {
    test::RendererFixture f;
    std::wstring name = L"a";
    for (int i = 0; i < 40; ++i) name += L"\u00E9";  // 81 UTF-8 bytes
    f.renderer.SendCallerName(L"1", name);
    std::vector<Bytes> sent = f.Main();
    ASSERT_EQ(sent.size(), 1u);
    // 00, two id bytes and 57 name bytes: 58 would split an e-acute.
    EXPECT_EQ(sent[0][1], 3 + 57);
    EXPECT_EQ(sent[0].size(), 2u + 3 + 57);
    EXPECT_EQ(sent[0][5], 'a');
    EXPECT_EQ(sent[0].back(), 0xA9);
    EXPECT_EQ(Bytes(f.view.m_listKeyedAcks.front().command.begin(),
                    f.view.m_listKeyedAcks.front().command.begin() + 62),
              sent[0]);
}

struct StatusCase {
    const char* name;
    WORD model;
    BOOL ready, refresh;
    BYTE status;
    std::vector<Bytes> sent;
    BOOL refreshAfter;
};

TEST(UserStatus, ModelReadinessAndRefresh) {
    const StatusCase cases[] = {
        {"Skype lost", kModel6611, 0, 0, 0xFF, {Hex("16 01 B3")}, 0},
        {"other models ignore readiness", kModel6612, 0, 0, 2, {Hex("16 02 00 02")}, 0},
        {"6621 not ready: dropped", kModel6621, 0, 0, 0, {}, 0},
        {"6621 ready", kModel6621, 1, 0, 10, {Hex("16 02 00 0A")}, 0},
        {"6621 refresh keeps its flag for DND", kModel6621, 0, 1, 4, {Hex("16 02 00 04")}, 1},
        {"6621 refresh clears its flag", kModel6621, 0, 1, 0, {Hex("16 02 00 00")}, 0},
        {"6621 refresh with Skype lost", kModel6621, 1, 1, 0xFF, {Hex("16 01 B3")}, 0},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::RendererFixture f;
        f.view.m_nProductId = c.model;
        f.view.m_bDeviceReady = c.ready;
        f.view.m_bStatusRefresh = c.refresh;
        f.renderer.SendUserStatus(c.status);
        EXPECT_EQ(f.Main(), c.sent);
        EXPECT_EQ(f.view.m_bStatusRefresh, c.refreshAfter);
        EXPECT_TRUE(f.view.m_listKeyedAcks.empty());
        EXPECT_TRUE(f.Talvery().empty());
    }
}

TEST(ResendTick, The6621WaitsWhileNotReady) {
    test::RendererFixture f;
    f.view.m_nProductId = kModel6621;
    f.renderer.SendCallState(L"9", 4);
    f.Main();
    for (int i = 0; i < 20; ++i) f.renderer.ResendTick();
    EXPECT_TRUE(f.Main().empty());
    EXPECT_EQ(f.view.m_listKeyedAcks.front().ticks, 0);
    f.view.m_bDeviceReady = 1;
    for (int i = 0; i < 6; ++i) f.renderer.ResendTick();
    EXPECT_EQ(f.Main(), std::vector<Bytes>{Hex("11 04 00 00 09 04")});
}

TEST(CallCommands, HandshakeOffSendsOnceAndKeepsNothing) {
    test::RendererFixture f;
    f.view.m_bHandshake = 0;
    f.renderer.m_nRequestCode = 15;
    f.renderer.SendCallState(L"1", 4);
    f.renderer.SendCallEnded(L"1", 7);
    f.renderer.SendCallerName(L"1", L"x");
    f.renderer.SendCallResult(1, L"1");
    f.renderer.SendCallResult(1, L"");
    f.renderer.SendDtmfDone();
    EXPECT_EQ(f.Main(), (std::vector<Bytes>{Hex("11 04 00 00 01 04"), Hex("14 04 00 00 01 07"),
                                            Hex("15 04 00 00 01 78"), Hex("11 03 01 00 01"),
                                            Hex("11 01 01"), Hex("12 01 00")}));
    EXPECT_TRUE(f.view.m_listKeyedAcks.empty());
    EXPECT_TRUE(f.view.m_listPendingAcks.empty());
}

}  // namespace
}  // namespace kovado
