// Input reports through the device loop: the request gate, pass-through text,
// status reports, the Skype key, debug reports, and length bytes that claim
// more than a report holds.
#include <gtest/gtest.h>

#include <cstdio>

#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "tests/transport/HandsetRig.h"
#include "transport/DeviceReader.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

using test::Bytes;
using test::FromHex;
using test::HexList;
using test::Report;
using test::Sent;

// Requests while the handset is not ready: the answers stay queued, so the
// state they leave is seen before any flush returns it to idle.
struct GateCase {
    const char* name;
    bool attached;
    int modeBefore;
    std::vector<std::string> events;
    std::vector<std::string> talvery;
    std::vector<Sent> sent;
    int modeAfter;
    int requestCode;     // the renderer's, afterwards
    int focusState = 0;  // the search handler's, afterwards
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class Gate : public ::testing::TestWithParam<GateCase> {};

TEST_P(Gate, OneRequestAtATime) {
    const GateCase& c = GetParam();
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;
    if (!c.attached) view.m_hSkypeWnd = 0;
    view.m_nReplyMode = static_cast<BYTE>(c.modeBefore);
    for (const std::string& event : c.events) rig.Event(event);

    EXPECT_EQ(test::TakeTalvery(view), HexList(c.talvery));
    EXPECT_TRUE(test::TakeMain(view).empty());
    EXPECT_EQ(rig.TakeSent(), c.sent);
    EXPECT_EQ(view.m_nReplyMode, c.modeAfter);
    EXPECT_EQ(view.m_pRenderer->m_nRequestCode, c.requestCode);
    EXPECT_EQ(view.m_pSearchHandler->m_nFocusState, c.focusState);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Gate,
    ::testing::Values(
        // An empty range queues nothing: the request is still in progress.
        GateCase{"AcceptedWhenIdle", true, 0, {"05 00 00 00"}, {}, {}, 1, 0x05},
        GateCase{"BusyWhileAReplyIsAwaited", true, 2, {"05 00 00 03"}, {"05 01 B1"}, {}, 3, 0},
        GateCase{"NoSkypeForEveryEvent", false, 0, {"00", "05 00 00 03", "19 11 0B", "40"},
                 {"00 01 B3", "05 01 B3", "19 01 B3", "40 01 B3"}, {}, 3, 0},
        GateCase{"SecondScrollDownWhileBusyGoesToSkype", true, 2, {"24 01", "24 01"},
                 {"24 01 B1", "24 01 B1"}, {{"btn_released down", 2, 1}}, 2, 0, 1},
        GateCase{"DownThenUpWhileBusy", true, 2, {"24 01", "24 00"}, {"24 01 B1", "24 01 B1"},
                 {{"btn_released up", 2, 1}}, 2, 0, 4},
        GateCase{"ThirdScrollStartsCountingAgain", true, 2, {"24 01", "24 01", "24 01"},
                 {"24 01 B1", "24 01 B1", "24 01 B1"}, {{"btn_released down", 2, 1}}, 3, 0, 1},
        GateCase{"ScrollsOfOtherValuesOnlyBusy", true, 2, {"24 02", "24 07", "24 07"},
                 {"24 01 B1", "24 01 B1", "24 01 B1"}, {}, 3, 0},
        // No data byte reads as 0, up, as the dispatcher takes the same event.
        GateCase{"ScrollsWithoutDataCountAsUp", true, 2, {"24", "24"}, {"24 01 B1", "24 01 B1"},
                 {{"btn_released up", 2, 1}}, 2, 0, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Gate, FlushWhileBusyEmptiesBothQueues) {
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;
    Bytes state = FromHex("11 04 00 00 0C 04");
    view.m_pWriter->PushMain(state.data(), 0);
    Bytes names = FromHex("05 04 00 62 6F 62");
    view.m_pWriter->PushTalvery(names.data());
    view.m_nReplyMode = kModeAwaitReply;
    rig.Event("00");
    EXPECT_TRUE(test::TakeMain(view).empty());
    EXPECT_EQ(test::TakeTalvery(view), HexList({"00 01 00"}));

    // Ready again, the answer goes out and the handset may ask.
    view.m_bDeviceReady = 1;
    view.m_pWriter->PushTalvery(names.data());
    rig.bridge.RunFor(400);
    EXPECT_EQ(rig.TakeWritten(), HexList({"05 04 00 62 6F 62"}));
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
}

// A text report: flag, count, then the text, padded with bytes that must
// never reach Skype.
Bytes Text(BYTE flag, const std::string& text) {
    Bytes rest{flag, static_cast<BYTE>(text.size())};
    rest.insert(rest.end(), text.begin(), text.end());
    Bytes report = Report(ReportType::kTextIn, rest);
    report.resize(65, 0xEE);
    return report;
}

struct TextCase {
    const char* name;
    int modeBefore;
    std::vector<Bytes> reports;
    std::vector<Sent> sent;
    int modeAfter;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class PassThrough : public ::testing::TestWithParam<TextCase> {};

TEST_P(PassThrough, ForwardsWholeTextsOnly) {
    const TextCase& c = GetParam();
    test::HandsetRig rig;
    rig.view.m_nReplyMode = static_cast<BYTE>(c.modeBefore);
    for (const Bytes& report : c.reports) rig.Input(report);
    EXPECT_EQ(rig.TakeSent(), c.sent);
    EXPECT_EQ(rig.view.m_nReplyMode, c.modeAfter);
    EXPECT_EQ(rig.view.m_pReader->m_nTextLength, 0);
}

const std::string k45(45, 'a');

INSTANTIATE_TEST_SUITE_P(
    Table, PassThrough,
    ::testing::Values(
        TextCase{"WholeWhenIdle", 0, {Text(0, "SEARCH FRIENDS")}, {{"SEARCH FRIENDS", 2, 0}}, 2},
        TextCase{"WholeWhileARequestIsInProgress", 1, {Text(0, "SEARCH FRIENDS")}, {}, 1},
        TextCase{"InParts", 0, {Text(1, "SEARCH "), Text(2, "FRIENDS")},
                 {{"SEARCH FRIENDS", 2, 0}}, 2},
        TextCase{"LastPartAlone", 0, {Text(2, "PING")}, {{"PING", 2, 0}}, 2},
        TextCase{"PartsUpTo202Bytes", 0,
                 {Text(1, k45), Text(1, k45), Text(1, k45), Text(1, k45),
                  Text(2, std::string(22, 'b'))},
                 {{k45 + k45 + k45 + k45 + std::string(22, 'b'), 2, 0}}, 2},
        // One byte more would not leave room for the NUL: nothing is sent,
        // and the handset may go on.
        TextCase{"PartsBeyond202Bytes", 0,
                 {Text(1, k45), Text(1, k45), Text(1, k45), Text(1, k45),
                  Text(2, std::string(23, 'b'))},
                 {}, 0},
        TextCase{"WholeTextAfterADroppedOne", 0,
                 {Text(1, k45), Text(1, k45), Text(1, k45), Text(1, k45), Text(1, k45),
                  Text(2, "x"), Text(0, "PING")},
                 {{"PING", 2, 0}}, 2},
        TextCase{"UnknownFlagLeavesTheStateAlone", 0, {Text(3, "PING")}, {}, 0},
        TextCase{"CountPastTheReport", 0, {Report(ReportType::kTextIn, {0x00, 0xFF, 'P'})}, {},
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A text in parts while other exchanges come and go between its parts. A
// step sets the conversation state first when it names one (-1 leaves it).
struct PartsStep {
    int mode;
    Bytes report;
};

struct PartsCase {
    const char* name;
    std::vector<PartsStep> steps;
    std::vector<Sent> sent;
    int modeAfter;
};

void PrintTo(const PartsCase& c, std::ostream* os) { *os << c.name; }

class TextParts : public ::testing::TestWithParam<PartsCase> {};

TEST_P(TextParts, PassOnlyWhileTheirRequestHoldsTheConversation) {
    const PartsCase& c = GetParam();
    test::HandsetRig rig;
    for (const PartsStep& step : c.steps) {
        if (step.mode >= 0) rig.view.m_nReplyMode = static_cast<BYTE>(step.mode);
        rig.Input(step.report);
    }
    EXPECT_EQ(rig.TakeSent(), c.sent);
    EXPECT_EQ(rig.view.m_nReplyMode, c.modeAfter);
}

const Bytes kEmptyRange = test::EventReport("05 00 00 00");  // accepted, answers nothing

INSTANTIATE_TEST_SUITE_P(
    Table, TextParts,
    ::testing::Values(
        // A busy answer between the parts returns the state to 0 through the flush.
        PartsCase{"LastPartAfterUnrelatedTraffic",
                  {{-1, Text(1, "SEARCH ")},
                   {-1, test::EventReport("05 00 00 03")},
                   {-1, Text(2, "FRIENDS")}},
                  {{"SEARCH FRIENDS", 2, 0}},
                  2},
        // The awaited reply keeps its mode; the text is gone with its last part.
        PartsCase{"LastPartWhileAnotherReplyIsAwaited",
                  {{-1, Text(1, "SEARCH ")},
                   {kModeAwaitReply, Text(2, "FRIENDS")},
                   {kModeIdle, Text(2, "PING")}},
                  {{"PING", 2, 0}},
                  2},
        // A lost middle part: the rest of the text is taken but never sent.
        PartsCase{"MiddlePartLostDropsTheText",
                  {{-1, Text(1, "SEARCH ")},
                   {kModeAwaitReply, Text(1, "FRI")},
                   {kModeIdle, Text(2, "ENDS")},
                   {-1, Text(0, "PING")}},
                  {{"PING", 2, 0}},
                  2},
        // The event request owns state 1: the old text's last part is refused
        // and the next text starts from nothing.
        PartsCase{"EventAcceptedMeanwhileForgetsTheText",
                  {{-1, Text(1, "SEARCH ")},
                   {kModeIdle, kEmptyRange},
                   {-1, Text(2, "FRIENDS")},
                   {kModeIdle, Text(1, "PI")},
                   {-1, Text(2, "NG")}},
                  {{"PING", 2, 0}},
                  2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PassThrough, SkypesAnswerReturnsToTheHandsetAsText) {
    test::HandsetRig rig;
    rig.replies["SEARCH FRIENDS"] = {"USERS alice, bob"};
    rig.Input(Text(1, "SEARCH "));
    rig.Input(Text(2, "FRIENDS"));
    auto reports = rig.TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    const Bytes& text = reports[0].bytes;
    EXPECT_EQ(Bytes(text.begin(), text.begin() + 4), (Bytes{0x00, 0x04, 0x00, 16}));
    EXPECT_EQ(std::string(text.begin() + 4, text.begin() + 20), "USERS alice, bob");
    EXPECT_EQ(rig.view.m_nReplyMode, kModeIdle);
}

// Status reports while the handset is not ready and a command waits in the
// main queue: the handset becomes ready (and the command is written), stays
// away (the command waits) or has gone away (the queues are emptied).
struct StatusCase {
    const char* name;
    std::string report;  // from the report type on
    BOOL readyAfter;
    bool commandKept;
    std::vector<std::pair<std::uint64_t, std::string>> control;  // ms after, leading bytes
    BOOL answeredAfter = 0;
    BOOL readyBefore = 0;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class StatusReports : public ::testing::TestWithParam<StatusCase> {};

const char* const kQuery = "00 08 0F 00";
const char* const kSetupA = "00 0C 00 04 01 03 0C 00";
const char* const kSetupB = "00 08 41 02 01 41";

TEST_P(StatusReports, ReadinessQueriesAndLinkSetUp) {
    const StatusCase& c = GetParam();
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_nProductId = kModel6612;  // no status query of its own on the tick
    view.m_bStatusAnswered = 0;
    view.m_bDeviceReady = c.readyBefore;
    Bytes command = FromHex("16 02 00 01");
    if (!c.readyBefore) view.m_pWriter->PushMain(command.data(), 0);
    view.m_nReplyMode = kModeAwaitReply;
    std::uint64_t start = rig.bridge.m_sim.Now();
    Bytes report = FromHex(c.report);
    report.insert(report.begin(), 0x00);
    rig.Input(report, 3500);

    std::vector<std::pair<std::uint64_t, std::string>> control;
    bool written = false;
    for (const auto& report : rig.TakeReports()) {
        const Bytes& b = report.bytes;
        if (b[1] == ReportType::kCommand) {
            written = written || Bytes(b.begin() + 2, b.begin() + 6) == command;
            continue;
        }
        std::string hex;
        std::size_t n = b[1] == ReportType::kControlA ? 8 : (b[2] == 0x41 ? 6 : 4);
        for (std::size_t i = 0; i < n; ++i) {
            char two[4];
            std::snprintf(two, sizeof two, i ? " %02X" : "%02X", b[i]);
            hex += two;
        }
        control.emplace_back(report.atMs - start, hex);
    }
    EXPECT_EQ(control, c.control);
    EXPECT_EQ(view.m_bDeviceReady, c.readyAfter);
    if (!c.readyBefore) {
        EXPECT_EQ(written || !test::TakeMain(view).empty(), c.commandKept);
    }
    EXPECT_EQ(view.m_bStatusAnswered, c.answeredAfter);
    EXPECT_EQ(view.m_nReplyMode, kModeIdle);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusReports,
    ::testing::Values(
        StatusCase{"Gone80", "09 02 01 80", 0, false, {}},
        StatusCase{"GoneMasked", "09 02 01 F8", 0, false, {}},
        StatusCase{"Ready08", "09 02 01 08", 1, true, {}},
        StatusCase{"ReadyMasked", "09 02 01 70", 1, true, {}},
        StatusCase{"UnexpectedIsQueriedAgain", "09 02 01 01", 0, true, {{3000, kQuery}}},
        StatusCase{"Ready04", "09 04 00", 1, true, {}},
        StatusCase{"Gone05", "09 05 00", 0, false, {}},
        StatusCase{"Status01WhileNotReady", "09 01 00", 0, true, {{300, kQuery}}},
        StatusCase{"Status01WhileReady", "09 01 00", 1, true, {}, 0, 1},
        StatusCase{"AnswerLinkUpAfterSetUp", "09 AA 02 0F 40", 1, true,
                   {{0, kSetupA}, {300, kSetupB}}, 1},
        StatusCase{"AnswerLinkDown", "09 AA 02 0F 00", 0, true, {{0, kSetupA}, {300, kSetupB}}, 1},
        StatusCase{"AnswerNotReady", "09 AA 02 0F 0F", 0, true, {}, 1},
        StatusCase{"AnswerLinkUp", "09 AA 02 0F 2F", 1, true, {}, 1},
        StatusCase{"AnswerOther", "09 AA 02 0F 55", 0, true, {}, 1},
        StatusCase{"AaNotAnAnswer", "09 AA 02 01 40", 0, true, {}},
        StatusCase{"UnknownCode", "09 07 01 08", 0, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusReports, FourthUnexpectedStatusInARowEmptiesTheQueues) {
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    CDeviceWriter& writer = *view.m_pWriter;
    view.m_nProductId = kModel6612;  // no status query of its own on the tick
    view.m_bDeviceReady = 0;
    Bytes command = FromHex("16 02 00 01");
    writer.PushMain(command.data(), 0);
    const Bytes unexpected = FromHex("00 09 02 01 01");
    std::vector<std::uint64_t> queries;
    for (int i = 0; i < 3; ++i) {
        std::uint64_t start = rig.bridge.m_sim.Now();
        rig.Input(unexpected, 3100);
        auto reports = rig.TakeReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(Bytes(reports[0].bytes.begin(), reports[0].bytes.begin() + 4), FromHex(kQuery));
        EXPECT_EQ(reports[0].atMs - start, 3000u);
        EXPECT_EQ(QueuedReports(writer.m_nMainHead, writer.m_nMainTail), 1);
    }
    rig.Input(unexpected, 3100);
    EXPECT_TRUE(rig.TakeReports().empty());
    EXPECT_EQ(QueuedReports(writer.m_nMainHead, writer.m_nMainTail), 0);
    EXPECT_EQ(view.m_pReader->m_nStatusRetries, 0);
}

TEST(SkypeKey, PressedAndReleased10MsApartInAnyState) {
    test::HandsetRig rig;
    rig.view.m_nReplyMode = kModeHandsetRequest;
    rig.Input(Report(ReportType::kSkypeKey, {}));
    const auto& commands = rig.bridge.m_skype.m_commands;
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"BTN_PRESSED SKYPE", 3, 2},
                                                 {"BTN_RELEASED SKYPE", 3, 2}}));
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 1].atMs - commands[commands.size() - 2].atMs, 10u);
}

// Length bytes are checked against the report read (65 bytes, or 49): a
// report that claims more is dropped, a debug report is logged as far as it
// goes. Reports are padded with 0xEE up to their length.
struct LengthCase {
    const char* name;
    BYTE reportLength;
    std::string report;  // from the report type on
    std::vector<std::wstring> log;
    std::vector<std::string> talvery;
    int modeAfter;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class LengthBytes : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LengthBytes, NeverReachPastTheReport) {
    const LengthCase& c = GetParam();
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    rig.EnableLog();
    view.m_bDeviceReady = 0;
    view.m_nReportLength = c.reportLength;
    rig.bridge.RunFor(400);  // the read under way keeps its length
    Bytes report = FromHex(c.report);
    report.insert(report.begin(), 0x00);
    report.resize(65, 0xEE);
    rig.Input(report);
    EXPECT_EQ(rig.Log(), c.log);
    EXPECT_EQ(test::TakeTalvery(view), HexList(c.talvery));
    EXPECT_TRUE(rig.TakeSent().empty());
    EXPECT_EQ(view.m_nReplyMode, c.modeAfter);
}

std::wstring Ee(std::size_t count) {
    std::wstring hex;
    for (std::size_t i = 0; i < count; ++i) hex += L"ee";
    return hex;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LengthBytes,
    ::testing::Values(
        LengthCase{"Debug", 65, "05 03 AA BB CC", {L"aabbcc"}, {}, 0},
        LengthCase{"DebugCountPastTheReport", 65, "05 FF 01", {L"01" + Ee(61)}, {}, 0},
        LengthCase{"DebugCountPastAShortReport", 49, "05 FF 01", {L"01" + Ee(45)}, {}, 0},
        LengthCase{"EventFillingTheReport", 65, "01 29 3D", {L"01293d" + Ee(61)},
                   {"29 03 00 6D 65"}, 3},
        LengthCase{"EventOneBytePastTheReport", 65, "01 29 3E",
                   {L"Event report longer than the report: dropped"}, {}, 0},
        LengthCase{"EventFillingAShortReport", 49, "01 29 2D", {L"01292d" + Ee(45)},
                   {"29 03 00 6D 65"}, 3},
        LengthCase{"EventPastAShortReport", 49, "01 29 2E",
                   {L"Event report longer than the report: dropped"}, {}, 0},
        LengthCase{"EventCountFF", 65, "01 0F FF 31",
                   {L"Event report longer than the report: dropped"}, {}, 0},
        LengthCase{"StatusCountFF", 65, "09 02 FF 08", {}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovado
