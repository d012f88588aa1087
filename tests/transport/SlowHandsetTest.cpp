// A burst of interrupt writes to a handset slow to take them, in virtual
// time: a handset slower than the write wait still gets every report, in
// order, once the writes in flight drain; one that takes nothing any more has
// the reports beyond its backlog dropped, each after a bounded wait and each
// in the log.
#include <gtest/gtest.h>

#include <ostream>

#include "platform/common/WriteBacklog.h"
#include "transport/Codes.h"
#include "tests/transport/WriterRig.h"

namespace kovado {
namespace {

using test::Command;
using test::WriterRig;

struct SlowCase {
    const char* name;
    std::uint32_t takeMs;  // per report, one after the other
    int reports;
    int taken;  // reports that reach the handset
};
void PrintTo(const SlowCase& c, std::ostream* out) { *out << c.name; }

class SlowHandset : public ::testing::TestWithParam<SlowCase> {};

TEST_P(SlowHandset, BurstIsTakenOrEveryDropIsLogged) {
    const SlowCase& c = GetParam();
    WriterRig rig;
    rig.view.m_bCtrlPipe = 0;
    rig.bridge.m_sim.m_hid.At(rig.handset).takeMs = c.takeMs;
    for (int i = 0; i < c.reports; ++i) {
        auto command = Command(Cmd::UserStatus, {0x00, static_cast<BYTE>(i)});
        rig.writer.PushMain(command.data(), 0);
    }
    std::uint64_t start = rig.Now();
    rig.writer.FlushQueues();

    std::vector<BYTE> sequence;
    for (const auto& report : rig.Bytes(5, 1)) sequence.push_back(report.at(0));
    std::vector<BYTE> expected;
    for (int i = 0; i < c.taken; ++i) expected.push_back(static_cast<BYTE>(i));
    EXPECT_EQ(sequence, expected);

    std::vector<std::wstring> drops;
    for (const std::wstring& line : rig.Log())
        if (line.rfind(L"Report dropped: ", 0) == 0) drops.push_back(line);
    std::vector<std::wstring> expectedDrops;
    for (int i = c.taken; i < c.reports; ++i) {
        wchar_t line[48];
        std::swprintf(line, 48, L"Report dropped: 02160200%02x", unsigned(i));
        expectedDrops.push_back(line);
    }
    EXPECT_EQ(drops, expectedDrops);
    EXPECT_EQ(rig.bridge.m_sim.m_hid.At(rig.handset).dropped, c.reports - c.taken);
    // Each report waits at most its own write and the backlog's bound.
    EXPECT_LE(rig.Now() - start, std::uint64_t(c.reports) * (CDeviceWriter::kWriteTimeoutMs +
                                                              platform::kBacklogWaitMs));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SlowHandset,
    ::testing::Values(SlowCase{"SlowerThanTheWriteWait", 40, 30, 30},
                      SlowCase{"TakesNothingMore", 3600 * 1000, 12, 8}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovado
