// Lists from Skype's search replies and the text answers to handset requests,
// byte by byte as the handset receives them.
#include <gtest/gtest.h>

#include <functional>

#include "tests/display/RendererFixture.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

using test::Bytes;
using test::Hex;

enum class ListKind { Contacts, Calls, Missed };

struct ListCase {
    const char* name;
    ListKind kind;
    const wchar_t* reply;
    const char* countCommand;
    std::vector<std::wstring> contacts;
    std::vector<WORD> ids;
};

TEST(StoredLists, ParsesRepliesAndQueuesTheCount) {
    const ListCase cases[] = {
        {"no handles", ListKind::Contacts, L"", "01 03 00 00 00", {}, {}},
        {"one handle", ListKind::Contacts, L"alice", "01 03 00 00 01", {L"alice"}, {}},
        {"three handles", ListKind::Contacts, L"a, b, c", "01 03 00 00 03", {L"a", L"b", L"c"}, {}},
        {"more commas than words", ListKind::Contacts, L"a,b", "01 03 00 00 02", {L"ab", L""}, {}},
        {"no calls", ListKind::Calls, L"", "03 03 00 00 00", {}, {}},
        {"two calls", ListKind::Calls, L"12, 345", "03 03 00 00 02", {}, {12, 345}},
        {"ids wrap to 16 bits, a non-number is 0", ListKind::Missed, L"70000, -1, x, 65535",
         "04 03 00 00 04", {}, {4464, 0xFFFF, 0, 0xFFFF}},
        {"more commas than words", ListKind::Calls, L"7,", "03 03 00 00 02", {}, {7, 0}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::RendererFixture f;
        // A previous list must not show through a shorter one.
        f.view.m_arrContacts[0] = f.view.m_arrContacts[1] = L"stale";
        f.view.m_aCallIds[1] = f.view.m_aMissedCallIds[1] = 999;
        switch (c.kind) {
            case ListKind::Contacts: f.renderer.OnContactList(c.reply); break;
            case ListKind::Calls: f.renderer.OnCallList(c.reply); break;
            case ListKind::Missed: f.renderer.OnMissedCallList(c.reply); break;
        }
        EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex(c.countCommand)});
        if (c.kind == ListKind::Contacts) {
            ASSERT_EQ(f.view.m_nContactCount, static_cast<int>(c.contacts.size()));
            for (std::size_t i = 0; i < c.contacts.size(); ++i)
                EXPECT_EQ(f.view.m_arrContacts[i], c.contacts[i]);
            continue;
        }
        const auto& ids = c.kind == ListKind::Calls ? f.view.m_aCallIds : f.view.m_aMissedCallIds;
        int count = c.kind == ListKind::Calls ? f.view.m_nCallIdCount : f.view.m_nMissedCallIdCount;
        ASSERT_EQ(count, static_cast<int>(c.ids.size()));
        for (std::size_t i = 0; i < c.ids.size(); ++i) EXPECT_EQ(ids[i], c.ids[i]);
    }
}

TEST(StoredLists, RangesAnswerFromTheStoredList) {
    test::RendererFixture f;
    f.renderer.OnContactList(L"a, b, \u00E9, " + std::wstring(50, L'x'));
    f.renderer.OnCallList(L"12, 345");
    f.Talvery();

    f.renderer.SendContactHandles(0, 4);
    std::vector<Bytes> handles = f.Talvery();
    ASSERT_EQ(handles.size(), 4u);
    EXPECT_EQ(handles[0], Hex("05 02 00 61"));
    EXPECT_EQ(handles[1], Hex("05 02 00 62"));
    EXPECT_EQ(handles[2], Hex("05 03 00 C3 A9"));
    // Only 44 text bytes pass the Talvery queue.
    EXPECT_EQ(handles[3], test::Concat(Hex("05 2D 00"), std::string(44, 'x')));

    f.renderer.SendCallIds(0, 2);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("07 05 00 00 0C 01 59")});
    f.renderer.SendContactHandles(2, 0);
    f.renderer.SendMissedCallIds(0, 0);
    EXPECT_TRUE(f.Talvery().empty());
}

TEST(StoredLists, IdsArePackedTwentyTwoACommand) {
    test::RendererFixture f;
    std::wstring reply;
    for (int id = 1; id <= 45; ++id) reply += (id > 1 ? L", " : L"") + std::to_wstring(id);
    f.renderer.OnMissedCallList(reply);
    f.Talvery();

    const struct {
        int count;
        std::vector<int> lengths;
    } cases[] = {{1, {3}}, {22, {45}}, {23, {45, 3}}, {45, {45, 45, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        f.renderer.SendMissedCallIds(0, static_cast<BYTE>(c.count));
        std::vector<Bytes> sent = f.Talvery();
        ASSERT_EQ(sent.size(), c.lengths.size());
        int next = 1;
        for (std::size_t i = 0; i < sent.size(); ++i) {
            ASSERT_EQ(sent[i][1], c.lengths[i]);
            ASSERT_EQ(sent[i].size(), 2u + c.lengths[i]);
            EXPECT_EQ(sent[i][0], Cmd::MissedCallIds);
            EXPECT_EQ(sent[i][2], 0);
            for (std::size_t b = 3; b < sent[i].size(); b += 2, ++next)
                EXPECT_EQ(sent[i][b] << 8 | sent[i][b + 1], next);
        }
        EXPECT_EQ(next, c.count + 1);
    }
}

TEST(StoredLists, NeverOutsideTheArraysAndTheCountMatchesWhatCanBeAnswered) {
    test::RendererFixture f;
    // 1030 handles for 1024 slots: the handset learns of 1024.
    std::wstring users;
    for (int i = 0; i < 1030; ++i) users += (i ? L", h" : L"h") + std::to_wstring(i);
    f.renderer.OnContactList(users);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("01 03 00 04 00")});
    EXPECT_EQ(f.view.m_nContactCount, 1024);
    EXPECT_EQ(f.view.m_arrContacts.size(), 1024u);
    f.renderer.SendContactHandles(1023, 1);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{test::Concat(Hex("05 06 00"), "h1023")});

    // 70000 ids: the two count bytes carry at most 65535.
    std::wstring calls = L"1";
    for (int i = 1; i < 70000; ++i) calls += L", 1";
    f.renderer.OnCallList(calls);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("03 03 00 FF FF")});
    EXPECT_EQ(f.view.m_nCallIdCount, 0xFFFF);
    f.renderer.SendCallIds(0xFFFF - 1, 1);
    EXPECT_EQ(f.Talvery(), std::vector<Bytes>{Hex("07 03 00 00 01")});

    // A range the list no longer holds (replaced after the request was
    // checked) gets "no entry" instead of another list's entries.
    f.renderer.OnCallList(L"5");
    f.renderer.OnContactList(L"a");
    f.Talvery();
    f.renderer.SendCallIds(0, 2);
    f.renderer.SendContactHandles(1024, 1);
    f.renderer.SendMissedCallIds(-1, 1);
    EXPECT_EQ(f.Talvery(), (std::vector<Bytes>{Hex("07 01 B2"), Hex("05 01 B2"), Hex("08 01 B2")}));
}

struct TextCase {
    const char* name;
    std::function<void(test::RendererFixture&)> act;
    Bytes expected;
};

TEST(TextReplies, BuildTheirCommands) {
    auto slot = [](CBridgeView& view, int index, const std::string& cells) {
        view.m_aLcdTexts[index].fill(0);
        std::copy(cells.begin(), cells.end(), view.m_aLcdTexts[index].begin());
    };
    const TextCase cases[] = {
        {"text reply carries the request code",
         [](auto& f) { f.renderer.m_nRequestCode = 0x0A; f.renderer.ReplyText(L"+4930"); },
         test::Concat(Hex("0A 06 00"), "+4930")},
        {"error 300 gives its low byte",
         [](auto& f) { f.renderer.m_nRequestCode = 0x0B; f.renderer.ReplyError(L"300 whatever"); },
         Hex("0B 01 2C")},
        {"no entry", [](auto& f) { f.renderer.m_nRequestCode = 0x07; f.renderer.ReplyNoEntry(); },
         Hex("07 01 B2")},
        {"contact status", [](auto& f) { f.renderer.SendContactStatus(10); }, Hex("09 02 00 0A")},
        {"display name", [](auto& f) { f.renderer.SendDisplayName(L"\u0416"); }, Hex("0D 03 00 D0 96")},
        {"open done", [](auto& f) { f.renderer.SendOpenDone(); }, Hex("23 01 00")},
        {"empty focused contact", [](auto& f) { f.renderer.SendFocusedContact(L""); }, Hex("24 01 00")},
        {"user handle not known yet", [](auto& f) { f.renderer.SendUserHandle(); }, Hex("29 01 01")},
        {"user handle",
         [](auto& f) { f.view.m_strUserHandle = L"echo123"; f.renderer.SendUserHandle(); },
         test::Concat(Hex("29 08 00"), "echo123")},
        {"menu slot above 50 becomes the UNKNOWN slot",
         [&](auto& f) { slot(f.view, 7, "2U2n"); f.renderer.SendMenuText(200); },
         Hex("28 06 00 07 32 55 32 6E")},
        {"menu slot without text", [&](auto& f) { slot(f.view, 12, ""); f.renderer.SendMenuText(12); },
         Hex("28 02 00 0C")},
        {"menu slot 50", [&](auto& f) { slot(f.view, 50, "2O2K"); f.renderer.SendMenuText(50); },
         Hex("28 06 00 32 32 4F 32 4B")},
        {"menu slot without terminator: 43 cell bytes pass",
         [](auto& f) { f.view.m_aLcdTexts[3].fill('2'); f.renderer.SendMenuText(3); },
         test::Concat(Hex("28 2D 00 03"), std::string(43, '2'))},
        {"clock in local time, Skype-newer flag first",
         [](auto& f) {
             f.bridge.m_sim.m_clock.m_nZoneMinutes = 90;  // 09:00 UTC is 10:30 here
             f.view.m_bSkypeNewer = 1;
             f.renderer.SendClock();
         },
         Hex("17 04 01 0A 1E 00")},
        {"call time 0 west of Greenwich is still 1969",
         [](auto& f) {
             f.bridge.m_sim.m_clock.m_nZoneMinutes = -300;
             f.renderer.SendCallTime(L"0");
         },
         Hex("18 06 00 0C 1F 13 00 00")},
        {"call time",
         [](auto& f) {
             f.bridge.m_sim.m_clock.m_nZoneMinutes = 60;
             f.renderer.SendCallTime(L"1700000000");  // 2023-11-14 22:13:20 UTC
         },
         Hex("18 06 00 0B 0E 17 0D 14")},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::RendererFixture f;
        c.act(f);
        EXPECT_EQ(f.Talvery(), std::vector<Bytes>{c.expected});
        EXPECT_TRUE(f.Main().empty());
    }
}

}  // namespace
}  // namespace kovado
