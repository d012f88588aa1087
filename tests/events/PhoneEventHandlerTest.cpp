// The handset's requests, each sent as an event report through the device
// loop while the handset is not ready, so the answers stay in their queues:
// what each request pushes on which queue, what it asks Skype, and where it
// leaves the conversation.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "tests/support/TempDir.h"
#include "tests/transport/HandsetRig.h"

namespace kovado {
namespace {

using test::Bytes;
using test::HexList;
using test::Sent;

struct RequestCase {
    const char* name;
    std::string event;  // code and data in hex; the length byte is added
    std::vector<std::string> main;
    std::vector<Bytes> talvery;
    std::vector<Sent> sent;
    int modeAfter;
    std::function<void(CBridgeView&)> setup = nullptr;
    std::optional<std::wstring> query = std::nullopt;  // the search handler's pending path
    std::optional<std::wstring> strName = std::nullopt;  // the renderer's m_strName
    std::function<void(CBridgeView&)> check = nullptr;  // further effects
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

// Talvery answers of a range of stored call ids, 22 to a command.
std::vector<Bytes> CallIdReplies(int first, int count) {
    std::vector<Bytes> replies;
    for (int next = 0; next < count; next += 22) {
        int k = std::min(22, count - next);
        Bytes reply{0x07, static_cast<BYTE>(1 + 2 * k), 0x00};
        for (int j = 0; j < k; ++j) {
            int id = 100 + first + next + j;
            reply.push_back(static_cast<BYTE>(id >> 8));
            reply.push_back(static_cast<BYTE>(id));
        }
        replies.push_back(reply);
    }
    return replies;
}

void StoreCallIds(CBridgeView& view) {
    for (std::size_t i = 0; i < 30; ++i) view.m_aCallIds[i] = static_cast<WORD>(100 + i);
    view.m_nCallIdCount = 30;
}

void StoreMissedCallIds(CBridgeView& view) {
    view.m_aMissedCallIds[0] = 0x0102;
    view.m_aMissedCallIds[1] = 0x0304;
    view.m_nMissedCallIdCount = 2;
}

void SetModel6612(CBridgeView& view) { view.m_nProductId = kModel6612; }

void StoreContacts(CBridgeView& view) {
    view.m_arrContacts[0] = L"alice";
    view.m_arrContacts[1] = L"bob";
    view.m_arrContacts[2] = L"carol";
    view.m_nContactCount = 3;
}

class Requests : public ::testing::TestWithParam<RequestCase> {};

TEST_P(Requests, AnswerAskAndMoveTheConversationOn) {
    const RequestCase& c = GetParam();
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;  // nothing is flushed: the queues are read as pushed
    if (c.setup) c.setup(view);
    rig.Event(c.event);

    BYTE code = test::FromHex(c.event).at(0);
    EXPECT_EQ(test::TakeMain(view), HexList(c.main));
    EXPECT_EQ(test::TakeTalvery(view), c.talvery);
    EXPECT_EQ(rig.TakeSent(), c.sent);
    EXPECT_EQ(view.m_nReplyMode, c.modeAfter);
    EXPECT_EQ(view.m_pRenderer->m_nRequestCode, code);
    EXPECT_EQ(view.m_pSearchHandler->m_nRequestCode, code);
    if (c.query) {
        EXPECT_EQ(view.m_pSearchHandler->Query(), *c.query);
    }
    if (c.strName) {
        EXPECT_EQ(view.m_pRenderer->m_strName, *c.strName);
    }
    if (c.check) c.check(view);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Requests,
    ::testing::Values(
        RequestCase{"Dial", "0F 31 32 33", {"1A 01 0F"}, {}, {{"CALL 123", 3, 1}}, 3},
        RequestCase{"Answer", "10 04 D2", {"1A 03 10 04 D2"}, {},
                    {{"SET CALL 1234 STATUS INPROGRESS", 3, 1}}, 3},
        RequestCase{"HangUpWithCallId", "13 04 D2", {"1A 03 13 04 D2"}, {},
                    {{"SET CALL 1234 STATUS FINISHED", 3, 1}, {"minimize", 3, 1}}, 3},
        RequestCase{"HangUpWithoutCallId", "13", {"1A 01 13"}, {},
                    {{"HOOK ON", 3, 1}, {"minimize", 3, 1}}, 3},
        // The tone's command waits for no reply: the conversation is idle again.
        RequestCase{"Dtmf", "12 04 D2 35", {"12 01 00"}, {},
                    {{"SET CALL 1234 DTMF 5", 0, 1}}, 0},
        RequestCase{"CallsNoneStored", "07 00 00 01", {}, {{0x07, 0x00}}, {}, 3},
        RequestCase{"CallsWholeRange", "07 00 00 1E", {}, CallIdReplies(0, 30), {}, 3,
                    StoreCallIds},
        RequestCase{"CallsPastTheEnd", "07 00 10 0F", {}, {{0x07, 0x01, 0xB2}}, {}, 3,
                    StoreCallIds},
        RequestCase{"MissedNoneStored", "08 00 00 01", {}, {{0x08, 0x00}}, {}, 3},
        RequestCase{"MissedRange", "08 00 01 01", {}, {{0x08, 0x03, 0x00, 0x03, 0x04}}, {}, 3,
                    StoreMissedCallIds},
        RequestCase{"MissedPastTheEnd", "08 00 01 02", {}, {{0x08, 0x01, 0xB2}}, {}, 3,
                    StoreMissedCallIds},
        RequestCase{"ContactsRange", "05 00 01 02", {},
                    {{0x05, 0x04, 0x00, 'b', 'o', 'b'},
                     {0x05, 0x06, 0x00, 'c', 'a', 'r', 'o', 'l'}},
                    {}, 3, StoreContacts},
        RequestCase{"ContactsPastTheEnd", "05 00 02 02", {}, {{0x05, 0x01, 0xB2}}, {}, 3,
                    StoreContacts},
        RequestCase{"ContactsWithoutCount", "05 00 00", {}, {{0x05, 0x01, 0xB2}}, {}, 3,
                    StoreContacts},
        // Nothing to answer: the request stays in progress.
        RequestCase{"ContactsEmptyRange", "05 00 00 00", {}, {}, {}, 1},
        RequestCase{"SearchContacts", "01", {}, {}, {{"search friends", 2, 1}}, 2},
        RequestCase{"OpenMute", "23 04", {}, {{0x23, 0x01, 0x00}}, {{"SET MUTE ON", 2, 1}}, 3},
        // The contact window answers once Skype reports it open.
        RequestCase{"OpenContacts", "23 00", {}, {}, {{"open contacts", 2, 1}}, 2},
        RequestCase{"OpenDialpad", "23 01", {}, {{0x23, 0x01, 0x00}}, {{"open dialpad", 2, 1}}, 3},
        RequestCase{"OpenCallHistory", "23 02", {}, {{0x23, 0x01, 0x00}},
                    {{"open callhistory", 2, 1}}, 3},
        RequestCase{"OpenMinimize", "23 03", {}, {{0x23, 0x01, 0x00}}, {{"minimize", 2, 1}}, 3},
        RequestCase{"OpenMuteOff", "23 05", {}, {{0x23, 0x01, 0x00}}, {{"SET MUTE OFF", 2, 1}},
                    3},
        RequestCase{"OpenUnknown", "23 09", {}, {{0x23, 0x01, 0x01}}, {}, 3},
        RequestCase{"ScrollUp", "24 00", {}, {}, {{"btn_released up", 2, 1}}, 2},
        RequestCase{"ScrollDownAfterTheContactWindowOpened", "24 01", {},
                    {{0x24, 0x06, 0x00, 'a', 'l', 'i', 'c', 'e'}}, {}, 3,
                    [](CBridgeView& view) {
                        view.m_pSearchHandler->SetFocused(L"alice");
                        view.m_pSearchHandler->m_bContactsOpened = 1;
                    },
                    std::nullopt, std::nullopt,
                    [](CBridgeView& view) {
                        EXPECT_EQ(view.m_pSearchHandler->m_bContactsOpened, 0);
                    }},
        RequestCase{"ScrollDownWithoutTheContactWindow", "24 01", {}, {},
                    {{"btn_released down", 2, 1}}, 2},
        RequestCase{"ScrollUnknown", "24 05", {}, {{0x24, 0x01, 0x01}}, {}, 3},
        RequestCase{"Model6612", "25", {}, {{0x25, 0x02, 0x00, 0x01}}, {}, 3,
                    [](CBridgeView& view) { view.m_nProductId = kModel6612; }},
        RequestCase{"Model6611", "25", {}, {{0x25, 0x02, 0x00, 0x00}}, {}, 3,
                    [](CBridgeView& view) { view.m_nProductId = kModel6611; }},
        RequestCase{"Model6621Refused", "25", {}, {{0x25, 0x01, 0x01}}, {}, 3},
        RequestCase{"DisplayName", "0D 62 6F 62", {}, {}, {{"GET USER bob DISPLAYNAME", 2, 1}},
                    2, nullptr, L"USER bob DISPLAYNAME", L"bob"},
        RequestCase{"NamePicture", "26 62 6F 62", {}, {}, {{"GET USER bob DISPLAYNAME", 2, 1}},
                    2, nullptr, L"USER bob DISPLAYNAME", L"bob"},
        // Seven bytes, six characters: the query holds exactly the six.
        RequestCase{"NonAsciiHandle", "09 6A C3 BC 72 67 65 6E", {}, {},
                    {{"GET USER j\xC3\xBCrgen ONLINESTATUS", 2, 1}}, 2, nullptr,
                    L"USER j\u00FCrgen ONLINESTATUS"},
        RequestCase{"MobileNumber", "0A 62 6F 62", {}, {}, {{"GET USER bob PHONE_MOBILE", 2, 1}},
                    2, nullptr, L"USER bob PHONE_MOBILE"},
        RequestCase{"OfficeNumber", "0B 62 6F 62", {}, {}, {{"GET USER bob PHONE_OFFICE", 2, 1}},
                    2, nullptr, L"USER bob PHONE_OFFICE"},
        RequestCase{"HomeNumber", "0C 62 6F 62", {}, {}, {{"GET USER bob PHONE_HOME", 2, 1}}, 2,
                    nullptr, L"USER bob PHONE_HOME"},
        RequestCase{"CallTime", "18 04 D2", {}, {}, {{"GET CALL 1234 TIMESTAMP", 2, 1}}, 2,
                    nullptr, L"CALL 1234 TIMESTAMP"},
        RequestCase{"PartnerHandle", "0E 04 D2", {}, {},
                    {{"GET CALL 1234 PARTNER_HANDLE", 2, 1}}, 2},
        RequestCase{"PartnerDisplayName", "2A FF FF", {}, {},
                    {{"GET CALL 65535 PARTNER_DISPNAME", 2, 1}}, 2},
        RequestCase{"UserStatusRefreshes", "16", {}, {}, {{"get userstatus", 2, 1}}, 2, nullptr,
                    std::nullopt, std::nullopt,
                    [](CBridgeView& view) { EXPECT_EQ(view.m_bStatusRefresh, 1); }},
        // Only the 0x6621 handset is refreshed with the status it asked for.
        RequestCase{"UserStatus6612NoRefresh", "16", {}, {}, {{"get userstatus", 2, 1}}, 2,
                    SetModel6612, std::nullopt, std::nullopt,
                    [](CBridgeView& view) { EXPECT_EQ(view.m_bStatusRefresh, 0); }},
        RequestCase{"UserHandle", "29", {}, {{0x29, 0x03, 0x00, 'm', 'e'}}, {}, 3},
        RequestCase{"PictureChunkPastTheEnd", "27 08", {}, {{0x27, 0x01, 0xB2}}, {}, 3},
        RequestCase{"NoHandler02", "02", {}, {}, {}, 0},
        RequestCase{"NoHandler40", "40 01 02", {}, {}, {}, 0},
        // A code the handset also sends as a command is no request either;
        // the state goes back to idle from the request in progress.
        RequestCase{"NoHandler15", "15 00 7B", {}, {}, {}, 0},
        RequestCase{"NoHandlerFF", "FF", {}, {}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Requests, SearchesResetTheirCountBeforeAsking) {
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;
    StoreContacts(view);
    StoreCallIds(view);
    view.m_nMissedCallIdCount = 4;
    rig.Event("01");
    EXPECT_EQ(view.m_nContactCount, 0);
    view.m_nReplyMode = kModeIdle;
    rig.Event("03");
    EXPECT_EQ(view.m_nCallIdCount, 0);
    view.m_nReplyMode = kModeIdle;
    rig.Event("04");
    EXPECT_EQ(view.m_nMissedCallIdCount, 0);
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"search friends", 2, 1},
                                                 {"SEARCH CALLS", 2, 1},
                                                 {"search missedcalls", 2, 1}}));
    // Asked for a range before Skype's reply came: there is nothing yet.
    view.m_nReplyMode = kModeIdle;
    rig.Event("05 00 00 01");
    EXPECT_EQ(test::TakeTalvery(view), (std::vector<Bytes>{{0x05, 0x01, 0xB2}}));
}

TEST(Requests, SelectVariantStopsTheStatusPollAndSendsTheClock) {
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;
    view.m_nProductId = kModel6612;
    view.m_nStatusTimer =
        rig.bridge.m_sim.m_windows.SetTimer(view.m_hWnd, kStatusTimerId, 2000);
    rig.Event("17 01");
    EXPECT_EQ(view.m_nStatusTimer, 0u);
    EXPECT_EQ(view.m_nChineseVariant, 1);
    auto talvery = test::TakeTalvery(view);
    ASSERT_EQ(talvery.size(), 1u);
    EXPECT_EQ(Bytes(talvery[0].begin(), talvery[0].begin() + 2), (Bytes{0x17, 0x04}));
    // No status poll any more.
    rig.bridge.RunFor(5000);
    EXPECT_TRUE(rig.TakeSent().empty());
}

TEST(Requests, ChipSettingsAreSavedAndFetched) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.m_path / "setting");
    test::HandsetRig rig;
    rig.bridge.m_sim.m_files.m_baseDir = dir.m_path;
    rig.Event("1C 10 20 30");
    rig.Event("1B");
    EXPECT_EQ(dir.Get("setting/Talvery.cc"), "\x10\x20\x30");
    EXPECT_EQ(rig.TakeWritten(), HexList({"1C 01 00", "1B 04 00 10 20 30"}));
}

// The handset echoes a main-queue command it received: the code and the data
// without the length byte, or the first part of them.
struct AckCase {
    const char* name;
    BOOL handshake;
    std::string echo;  // the event's data
    bool keyedLeft;    // 11 04 00 04 D2 04, kept under 1234
    bool pendingLeft;  // 11 01 0B, kept without a key
};

void PrintTo(const AckCase& c, std::ostream* os) { *os << c.name; }

class Acknowledgements : public ::testing::TestWithParam<AckCase> {};

TEST_P(Acknowledgements, RemoveOnlyTheCommandEchoed) {
    const AckCase& c = GetParam();
    test::HandsetRig rig;
    CBridgeView& view = rig.view;
    view.m_bDeviceReady = 0;
    view.m_bHandshake = c.handshake;
    KeyedAck keyed;
    Bytes command = test::FromHex("11 04 00 04 D2 04");
    std::copy(command.begin(), command.end(), keyed.command.begin());
    keyed.key = L"1234";
    view.m_listKeyedAcks.push_back(keyed);
    PendingAck pending;
    command = test::FromHex("11 01 0B");
    std::copy(command.begin(), command.end(), pending.command.begin());
    view.m_listPendingAcks.push_back(pending);
    view.m_pRenderer->m_nRequestCode = Evt::Dial;

    rig.Event("19 " + c.echo);
    EXPECT_EQ(view.m_listKeyedAcks.size(), c.keyedLeft ? 1u : 0u);
    EXPECT_EQ(view.m_listPendingAcks.size(), c.pendingLeft ? 1u : 0u);
    EXPECT_EQ(view.m_nReplyMode, kModeNoReply);
    EXPECT_EQ(view.m_pRenderer->m_nRequestCode, Evt::Dial) << "an acknowledgement answers nothing";
    EXPECT_TRUE(rig.TakeSent().empty());
    EXPECT_TRUE(test::TakeTalvery(view).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Acknowledgements,
    ::testing::Values(AckCase{"Keyed", 1, "11 00 04 D2 04", false, true},
                      AckCase{"KeyedFirstPart", 1, "11 00 04 D2", false, true},
                      AckCase{"KeyedLastByteDiffers", 1, "11 00 04 D2 05", true, true},
                      AckCase{"KeyedOtherCall", 1, "11 00 04 D3 04", true, true},
                      AckCase{"WithoutKey", 1, "11 0B", true, false},
                      AckCase{"WithoutKeyOtherResult", 1, "11 0C", true, true},
                      AckCase{"TooShortForAKey", 1, "11 00 04", true, true},
                      AckCase{"HandshakeOff", 0, "11 0B", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovado
