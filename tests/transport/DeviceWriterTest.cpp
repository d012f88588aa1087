// The writer's queues, flush, text reports and log lines against a simulated
// handset, in virtual time.
#include <gtest/gtest.h>

#include <ostream>

#include "discovery/DeviceWatcher.h"
#include "transport/Codes.h"
#include "tests/transport/WriterRig.h"

namespace kovado {
namespace {

using test::Command;
using test::WriterRig;
using Bytes = std::vector<BYTE>;

struct QueueCase {
    const char* name;
    bool talvery;
    int flushedBefore;  // reports pushed and flushed first, so the read index is inside the ring
};
void PrintTo(const QueueCase& c, std::ostream* out) { *out << c.name; }

class QueueLimit : public ::testing::TestWithParam<QueueCase> {};

// A queue holds 49 reports; the 50th push empties it and is dropped itself,
// also right after a reset while the read index is still 255.
TEST_P(QueueLimit, FiftiethPushEmptiesTheQueue) {
    const QueueCase& c = GetParam();
    WriterRig rig;
    CDeviceWriter& w = rig.writer;
    BYTE& head = c.talvery ? w.m_nTalveryHead : w.m_nMainHead;
    BYTE& tail = c.talvery ? w.m_nTalveryTail : w.m_nMainTail;
    const wchar_t* fullLine = c.talvery ? L"The Talvery Queue is full !!" : L"The Queue is full !!";
    auto push = [&](BYTE seq) {
        Bytes command = Command(c.talvery ? Cmd::ContactCount : Cmd::UserStatus, {0x00, seq});
        if (c.talvery)
            w.PushTalvery(command.data());
        else
            w.PushMain(command.data(), 0);
    };

    for (int i = 0; i < c.flushedBefore; ++i) push(0xF0);
    w.FlushQueues();
    ASSERT_EQ(rig.Written().size(), static_cast<std::size_t>(c.flushedBefore));
    const std::size_t before = rig.Written().size();

    BYTE start = tail;
    push(0);
    EXPECT_EQ(tail, NextQueueIndex(start));
    if (c.flushedBefore == 0) {
        EXPECT_EQ(tail, 6) << "the first push after a reset lands in slot 6";
    }
    for (BYTE seq = 1; seq < 49; ++seq) push(seq);
    EXPECT_EQ(QueuedReports(head, tail), 49);
    EXPECT_TRUE(rig.Log().empty() || rig.Log().back() != fullLine);

    rig.view.m_nReplyMode = kModeIdle;
    push(49);
    EXPECT_EQ(head, 255);
    EXPECT_EQ(tail, 255);
    EXPECT_EQ(rig.Log().back(), fullLine);
    if (c.talvery) {
        EXPECT_EQ(rig.view.m_nReplyMode, kModeNoReply) << "set even when the push fails";
        w.FlushQueues();
        EXPECT_EQ(rig.view.m_nReplyMode, kModeIdle);
        EXPECT_EQ(rig.Written().size(), before);
    }

    push(0x77);
    EXPECT_EQ(tail, 6);
    w.FlushQueues();
    auto written = rig.Bytes(2, 4);
    ASSERT_EQ(written.size(), before + 1) << "only the push after the overflow is written";
    EXPECT_EQ(written.back()[3], 0x77);
}

INSTANTIATE_TEST_SUITE_P(Table, QueueLimit,
                         ::testing::Values(QueueCase{"MainAfterReset", false, 0},
                                           QueueCase{"MainInsideTheRing", false, 10},
                                           QueueCase{"TalveryAfterReset", true, 0},
                                           QueueCase{"TalveryInsideTheRing", true, 47}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeviceWriter, ResetDropsBothQueues) {
    WriterRig rig;
    Bytes command = Command(Cmd::UserStatus, {0x00, 0x01});
    rig.writer.PushMain(command.data(), 0);
    rig.writer.PushTalvery(command.data());
    rig.writer.ResetQueues();
    EXPECT_EQ(rig.writer.m_nMainHead, 255);
    EXPECT_EQ(rig.writer.m_nMainTail, 255);
    EXPECT_EQ(rig.writer.m_nTalveryHead, 255);
    EXPECT_EQ(rig.writer.m_nTalveryTail, 255);
    rig.writer.FlushQueues();
    EXPECT_TRUE(rig.Written().empty());
}

TEST(DeviceWriter, TalveryCutTo45ChangesTheCallersBuffer) {
    WriterRig rig;
    Bytes data(60);
    for (int i = 0; i < 60; ++i) data[static_cast<std::size_t>(i)] = static_cast<BYTE>(i + 1);
    Bytes command = Command(Cmd::DisplayNameText, data);
    rig.writer.PushTalvery(command.data());
    EXPECT_EQ(command[1], 45);
    rig.writer.FlushQueues();
    auto written = rig.Written();
    ASSERT_EQ(written.size(), 1u);
    Bytes expected{0x00, 0x02, Cmd::DisplayNameText, 45};
    expected.insert(expected.end(), data.begin(), data.begin() + 45);
    EXPECT_EQ(Bytes(written[0].bytes.begin(), written[0].bytes.begin() + 49), expected);
}

// A main command whose length byte would carry it past the 65-byte slot is cut
// to the slot; the neighbouring slot and every well-formed command stay intact.
TEST(DeviceWriter, OversizedMainCommandIsCutToTheSlot) {
    struct Case {
        int length;
        int written;
        bool logged;
    };
    for (Case c : {Case{61, 61, false}, Case{62, 61, true}, Case{255, 61, true}}) {
        WriterRig rig;
        Bytes data(static_cast<std::size_t>(c.length));
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(0x80 + i);
        Bytes command = Command(Cmd::CallerName, {});
        command[1] = static_cast<BYTE>(c.length);
        command.insert(command.end(), data.begin(), data.end());
        rig.writer.PushMain(command.data(), 0);
        EXPECT_EQ(rig.writer.m_aMainSlots[7], CDeviceWriter::Slot{}) << c.length;
        EXPECT_EQ(command[1], c.length) << "the caller's buffer is left alone";

        rig.writer.FlushQueues();
        auto written = rig.Written();
        ASSERT_EQ(written.size(), 1u);
        const Bytes& report = written[0].bytes;
        ASSERT_EQ(report.size(), 65u);
        EXPECT_EQ(report[3], c.written);
        EXPECT_EQ(Bytes(report.begin() + 4, report.end()), Bytes(data.begin(), data.begin() + 61));
        auto log = rig.Log();
        const std::wstring cutLine = L"Command 15 cut to 61 data bytes";
        EXPECT_EQ(std::find(log.begin(), log.end(), cutLine) != log.end(), c.logged) << c.length;
        // The dump names type, code, length and the 61 data bytes.
        EXPECT_EQ(log.back().size(), 2u * (3 + 61));
    }
}

// Nothing while the handset is not ready; the main queue in any state; the
// Talvery queue only in state 3, after the main queue, and then state 0.
TEST(DeviceWriter, FlushIsGatedByReadinessAndState) {
    WriterRig rig;
    CBridgeView& view = rig.view;
    Bytes reply = Command(Cmd::ContactCount, {0x00, 0x00, 0x03});
    Bytes status = Command(Cmd::UserStatus, {0x00, 0x02});
    rig.writer.PushTalvery(reply.data());
    rig.writer.PushMain(status.data(), 0);

    view.m_bDeviceReady = 0;
    rig.writer.FlushQueues();
    EXPECT_TRUE(rig.Written().empty());
    EXPECT_EQ(view.m_nReplyMode, kModeNoReply) << "not ready: the state is left alone too";

    view.m_bDeviceReady = 1;
    view.m_nReplyMode = kModeHandsetRequest;
    rig.writer.FlushQueues();
    EXPECT_EQ(rig.Bytes(1, 2), (std::vector<Bytes>{{0x02, Cmd::UserStatus}}));
    EXPECT_EQ(view.m_nReplyMode, kModeHandsetRequest);
    EXPECT_EQ(QueuedReports(rig.writer.m_nTalveryHead, rig.writer.m_nTalveryTail), 1);

    view.m_nReplyMode = kModeNoReply;
    rig.writer.PushMain(status.data(), 0);
    rig.writer.FlushQueues();
    EXPECT_EQ(rig.Bytes(1, 2), (std::vector<Bytes>{{0x02, Cmd::UserStatus},
                                                  {0x02, Cmd::UserStatus},
                                                  {0x02, Cmd::ContactCount}}));
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);

    view.m_nReplyMode = kModeNoReply;
    rig.writer.FlushQueues();
    EXPECT_EQ(view.m_nReplyMode, kModeIdle) << "state 3 ends also with an empty Talvery queue";
    EXPECT_EQ(rig.Written().size(), 3u);
}

// Hex dumps of queued reports, "%02x" per byte from the type to the last data
// byte; the blank report and commands without data are not logged.
TEST(DeviceWriter, BlankReportAndLogLines) {
    WriterRig rig;
    Bytes status = Command(Cmd::UserStatus, {0x00, 0x0A});
    Bytes bare = Command(Cmd::DtmfDone, {});
    Bytes reply = Command(Cmd::CallCount, {0x00, 0x01, 0xFF});
    rig.writer.PushMain(status.data(), 0);
    rig.writer.PushMain(nullptr, 1);
    rig.writer.PushMain(bare.data(), 0);
    rig.writer.PushTalvery(reply.data());
    rig.writer.FlushQueues();

    EXPECT_EQ(rig.Bytes(0, 4), (std::vector<Bytes>{{0x00, 0x02, 0x16, 0x02},
                                                  {0x00, 0x00, 0x00, 0x00},
                                                  {0x00, 0x02, 0x12, 0x00},
                                                  {0x00, 0x02, 0x03, 0x03}}));
    EXPECT_EQ(rig.Log(), (std::vector<std::wstring>{L"021602000a", L"0203030001ff"}));
}

// The 50 ms pause comes before a CallEnded command of the main queue only.
TEST(DeviceWriter, PausesBeforeCallEndedOnly) {
    WriterRig rig;
    Bytes status = Command(Cmd::UserStatus, {0x00, 0x01});
    Bytes ended = Command(Cmd::CallEnded, {0x00, 0x00, 0x7B, 0x07});
    Bytes state = Command(Cmd::CallState, {0x00, 0x00, 0x7B, 0x05});
    rig.writer.PushMain(status.data(), 0);
    rig.writer.PushMain(nullptr, 1);
    rig.writer.PushMain(ended.data(), 0);
    rig.writer.PushMain(state.data(), 0);
    rig.writer.PushTalvery(ended.data());  // same code, other queue: no pause
    std::uint64_t start = rig.Now();
    rig.writer.FlushQueues();
    std::vector<std::uint64_t> times;
    for (const auto& w : rig.Written()) times.push_back(w.atMs - start);
    EXPECT_EQ(times, (std::vector<std::uint64_t>{0, 0, 50, 50, 50}));
    EXPECT_EQ(rig.Now() - start, 50u);
}

// A handset unplugged and closed in the middle of a flush (here during the
// pause before a CallEnded) takes nothing more: what is left stays queued, the
// state too, and goes out to the next handset as if the flush had not begun.
TEST(DeviceWriter, HandsetClosedDuringAFlushKeepsWhatIsLeft) {
    WriterRig rig;
    CBridgeView& view = rig.view;
    auto& hid = rig.bridge.m_sim.m_hid;
    Bytes status = Command(Cmd::UserStatus, {0x00, 0x01});
    Bytes ended = Command(Cmd::CallEnded, {0x00, 0x00, 0x7B, 0x07});
    Bytes reply = Command(Cmd::ContactCount, {0x00, 0x00, 0x03});
    rig.writer.PushMain(status.data(), 0);
    rig.writer.PushMain(ended.data(), 0);
    rig.writer.PushTalvery(reply.data());

    platform::ThreadId supervision = rig.bridge.m_sim.m_windows.Start([&] {
        rig.bridge.m_sim.m_clock.Sleep(20);
        hid.Unplug(rig.handset);
        view.m_pWatcher->CheckDevice();
    });
    rig.writer.FlushQueues();
    rig.bridge.m_sim.m_windows.Join(supervision);
    ASSERT_EQ(view.m_hDevice, 0u);
    EXPECT_EQ(rig.Bytes(1, 2), (std::vector<Bytes>{{0x02, Cmd::UserStatus}}));
    EXPECT_EQ(QueuedReports(rig.writer.m_nMainHead, rig.writer.m_nMainTail), 1);
    EXPECT_EQ(QueuedReports(rig.writer.m_nTalveryHead, rig.writer.m_nTalveryTail), 1);
    EXPECT_EQ(view.m_nReplyMode, kModeNoReply);
    EXPECT_EQ(rig.Log(), (std::vector<std::wstring>{L"0216020001"}));

    rig.writer.FlushQueues();  // a pass that began before the close
    int next = hid.AddDevice(0x0E5E, kModel6621);
    hid.BeginEnumeration();
    view.m_hDevice = hid.OpenInterface(0);  // the only one present
    hid.EndEnumeration();
    rig.writer.FlushQueues();
    std::vector<Bytes> second;
    for (const auto& w : hid.WrittenTo(next)) second.push_back({w.bytes[1], w.bytes[2]});
    EXPECT_EQ(second, (std::vector<Bytes>{{0x02, Cmd::CallEnded}, {0x02, Cmd::ContactCount}}));
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
}

// Every report is written whole, as a feature report or an interrupt write,
// and resets the keep-alive counter.
TEST(DeviceWriter, PathLengthAndKeepAlive) {
    struct Case {
        BOOL ctrlPipe;
        BYTE length;
        platform::SimHid::Path path;
    };
    for (Case c : {Case{1, 65, platform::SimHid::Path::Feature},
                   Case{0, 49, platform::SimHid::Path::Interrupt}}) {
        WriterRig rig;
        rig.view.m_bCtrlPipe = c.ctrlPipe;
        rig.view.m_nReportLength = c.length;
        rig.view.m_bKeepAlive = 1;
        Bytes status = Command(Cmd::UserStatus, {0x00, 0x01});
        rig.writer.PushMain(status.data(), 0);
        rig.view.m_nKeepAliveTicks = 5;
        rig.writer.FlushQueues();
        auto written = rig.Written();
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(written[0].path, c.path);
        EXPECT_EQ(written[0].bytes.size(), c.length);
        EXPECT_EQ(rig.view.m_nKeepAliveTicks, 0);
    }
}

// Text goes out at once in pieces of 45 characters, one byte per UTF-16 unit.
TEST(DeviceWriter, SendTextSplitsIntoPiecesOf45) {
    struct Case {
        std::wstring text;
        std::vector<Bytes> flagsAndCounts;
    };
    std::wstring latin(90, L'a');
    latin[0] = L'\u0141';  // arrives as its low byte, 0x41
    for (std::size_t i = 1; i < latin.size(); ++i) latin[i] = static_cast<wchar_t>(L'a' + i % 26);
    // A character outside the basic plane is two UTF-16 units.
    std::wstring astral = std::wstring(44, L'x') + L"\U0001F600";
    const Case cases[] = {
        {L"", {{0, 0}}},
        {latin.substr(0, 45), {{0, 45}}},
        {latin.substr(0, 46), {{1, 45}, {2, 1}}},
        {latin, {{1, 45}, {2, 45}}},
        {astral, {{1, 45}, {2, 1}}},
    };
    for (const Case& c : cases) {
        WriterRig rig;
        rig.view.m_nReplyMode = kModeNoReply;
        rig.view.m_bDeviceReady = 0;  // text does not wait for readiness
        rig.writer.SendText(c.text);
        auto written = rig.Written();
        std::vector<Bytes> flagsAndCounts;
        Bytes chars;
        for (const auto& w : written) {
            EXPECT_EQ(w.bytes[0], 0x00);
            EXPECT_EQ(w.bytes[1], 0x04);
            flagsAndCounts.push_back({w.bytes[2], w.bytes[3]});
            chars.insert(chars.end(), w.bytes.begin() + 4, w.bytes.begin() + 4 + w.bytes[3]);
        }
        EXPECT_EQ(flagsAndCounts, c.flagsAndCounts) << c.text.size();
        Bytes expected;
        for (wchar_t ch : c.text)
            if (static_cast<std::uint32_t>(ch) > 0xFFFF) {
                expected.push_back(0x3D);  // D83D DE00
                expected.push_back(0x00);
            } else {
                expected.push_back(static_cast<BYTE>(ch & 0xFF));
            }
        EXPECT_EQ(chars, expected);
        if (c.text.size() >= 45) {
            EXPECT_EQ(chars[0], c.text[0] == L'\u0141' ? 0x41 : 'x');
        }
        EXPECT_EQ(rig.view.m_nReplyMode, kModeIdle);
        EXPECT_TRUE(rig.Log().empty()) << "text reports are not logged";
        EXPECT_EQ(rig.writer.m_nMainTail, 255) << "and do not pass through the queues";
    }
}

}  // namespace
}  // namespace kovado
