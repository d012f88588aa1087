// The soak: its checker catches what it is meant to catch on hand-made
// traces, the lock check fires, and a short seeded soak of the whole bridge
// holds every invariant and comes to rest.
#include <gtest/gtest.h>

#include "platform/Mutex.h"
#include "simulator/harness/Soak.h"

namespace kovado::sim {
namespace {

TraceEvent Written(std::uint64_t at, std::vector<BYTE> report) {
    TraceEvent e{at, "hid<", Hex(report), report, 65};
    return e;
}
TraceEvent Delivered(std::uint64_t at, std::vector<BYTE> report) {
    return TraceEvent{at, "hid>", Hex(report), report, 0};
}

// CallEnded of call 0x0457, state 3, and the handset's acknowledgement of it.
const std::vector<BYTE> kEnded{0x02, 0x14, 0x04, 0x00, 0x04, 0x57, 0x03};
const std::vector<BYTE> kEndedAck{0x01, 0x19, 0x05, 0x14, 0x00, 0x04, 0x57, 0x03};
const std::vector<BYTE> kBusy{0x02, 0x19, 0x01, 0xB1};
const std::vector<BYTE> kNoSkype{0x02, 0x19, 0x01, 0xB3};
const std::vector<BYTE> kStateSameCall{0x02, 0x11, 0x04, 0x00, 0x04, 0x57, 0x01};

struct TraceCase {
    const char* name;
    std::vector<TraceEvent> events;
    const char* broken;  // a part of the first broken invariant; nullptr: all hold
};

std::vector<TraceEvent> Repeat(const std::vector<BYTE>& report, int times) {
    std::vector<TraceEvent> events;
    for (int i = 0; i < times; ++i) events.push_back(Written(1000 + 300 * i, report));
    return events;
}

class SoakCheckerCases : public testing::TestWithParam<TraceCase> {};

TEST_P(SoakCheckerCases, FindsTheFirstBrokenInvariant) {
    const TraceCase& c = GetParam();
    SoakChecker checker(0, 0);
    for (const TraceEvent& e : c.events) checker.OnEvent(e);
    checker.Finish(60000);
    if (!c.broken) {
        EXPECT_TRUE(checker.m_verdict.ok) << checker.m_verdict.broken;
        return;
    }
    ASSERT_FALSE(checker.m_verdict.ok);
    EXPECT_NE(checker.m_verdict.broken.find(c.broken), std::string::npos)
        << checker.m_verdict.broken;
}

std::vector<TraceEvent> Join(std::vector<std::vector<TraceEvent>> parts) {
    std::vector<TraceEvent> all;
    for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Traces, SoakCheckerCases,
    testing::Values(
        TraceCase{"SixWritesUnacknowledged", Repeat(kEnded, 6), nullptr},
        TraceCase{"SevenWrites", Repeat(kEnded, 7), "written 7 times"},
        TraceCase{"GivenUpEarly", Repeat(kEnded, 3), "neither acknowledged nor written six"},
        TraceCase{"Acknowledged", Join({Repeat(kEnded, 2), {Delivered(2000, kEndedAck)}}),
                  nullptr},
        TraceCase{"WrittenAfterItsAcknowledgement",
                  Join({Repeat(kEnded, 1),
                        {Delivered(2000, kEndedAck), Written(2300, kEnded),
                         Delivered(2400, {0x01, 0x00, 0x00})}}),
                  "written again after its acknowledgement"},
        // The bridge answered Busy: it did not take the acknowledgement, so
        // the command goes out again, and is owed until acknowledged again.
        TraceCase{"AcknowledgementAnsweredBusy",
                  Join({Repeat(kEnded, 1),
                        {Delivered(2000, kEndedAck), Written(2000, kEnded), Written(2000, kBusy),
                         Delivered(2050, kEndedAck)}}),
                  nullptr},
        // Detached from Skype, the bridge refuses the acknowledgement too.
        TraceCase{"AcknowledgementRefusedWithoutSkype",
                  Join({Repeat(kEnded, 5),
                        {Delivered(2700, kEndedAck), Written(2700, kNoSkype),
                         Written(2800, kEnded)}}),
                  nullptr},
        TraceCase{"ReplacedByANewerCommandAboutTheCall",
                  Join({Repeat(kEnded, 2), {Written(2000, kStateSameCall)}}), nullptr},
        TraceCase{"ReportLongerThanTheWire",
                  {TraceEvent{10, "hid<", "02 00", {0x02, 0x00}, 66}}, "a report of 66 bytes"},
        TraceCase{"LengthByteBeyondTheReport", {Written(10, {0x02, 0x16, 0x3E, 0x00})},
                  "length byte beyond"}),
    [](const testing::TestParamInfo<TraceCase>& info) { return std::string(info.param.name); });

#ifndef NDEBUG
TEST(LockDiscipline, ALockHeldAtAWindowMessageIsReported) {
    static int s_reported = 0;
    static int s_held = 0;
    platform::SetLockViolationHandler([](const char*, int held) {
        ++s_reported;
        s_held = held;
    });
    platform::Mutex a, b;
    platform::ExpectNoLocksHeld("a window message");
    EXPECT_EQ(s_reported, 0);
    {
        std::lock_guard<platform::Mutex> la(a);
        std::lock_guard<platform::Mutex> lb(b);
        platform::ExpectNoLocksHeld("a window message");
    }
    EXPECT_EQ(s_reported, 1);
    EXPECT_EQ(s_held, 2);
    platform::ExpectNoLocksHeld("a window message");
    EXPECT_EQ(s_reported, 1);
    platform::SetLockViolationHandler(nullptr);
}
#endif

// Ten virtual minutes of life and faults for a few seeds, then the calm: every
// invariant holds, the bridge comes to rest, and a seed always gives the same run.
TEST(Soak, ShortSoakHoldsAndComesToRest) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        SoakLife life = GenerateSoakLife(seed, 10 * 60 * 1000, 30000);
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(life.text, "soak", scenario, error)) << error;
        SoakVerdict verdict = CheckScenario(scenario, 20000, 250, error);
        EXPECT_TRUE(verdict.ok) << "seed " << seed << " at " << verdict.brokenAtMs << " ms: "
                                << verdict.broken << "\n"
                                << ReplayScenario(life.text, verdict, seed, 0.1);
        EXPECT_GE(verdict.restAtMs, life.calmAtMs);
        EXPECT_GT(life.calls, 10);
        if (seed == 1) {
            SoakVerdict again = CheckScenario(scenario, 20000, 250, error);
            EXPECT_EQ(again.checks, verdict.checks);
            EXPECT_EQ(again.restAtMs, verdict.restAtMs);
        }
    }
}

}  // namespace
}  // namespace kovado::sim
