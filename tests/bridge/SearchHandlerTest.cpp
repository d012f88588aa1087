// Replies to the handset's browse requests, through the router: lists,
// properties with their follow-up requests, the history chain, and the
// Skype contact window's echoes.
#include <gtest/gtest.h>

#include <map>

#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "tests/bridge/HandlerRig.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

using test::HexList;
using test::Sent;

// The rig with a handset request pending, as the event dispatcher leaves it,
// and a Skype client that answers GETs from a table.
struct SearchRig : test::HandlerRig {
    CSearchHandler& search = *view.m_pSearchHandler;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    std::map<std::string, std::string> replies;

    SearchRig() {
        bridge.m_skype.m_rules = [this](const std::string& command) {
            auto it = replies.find(command);
            return it == replies.end() ? std::vector<std::string>{}
                                       : std::vector<std::string>{it->second};
        };
    }
    void Pending(BYTE code) {
        renderer.m_nRequestCode = code;
        search.m_nRequestCode = code;
        view.m_nReplyMode = kModeAwaitReply;
        view.m_nReplySubMode = 1;
    }
    // A property request: the path into the query, then "GET path" (2, 1).
    void Ask(BYTE code, const std::string& path) {
        Pending(code);
        search.SetQuery(Widen(path));
        view.SendSkypeCommand(L"GET " + Widen(path), kModeAwaitReply, 1);
        bridge.RunFor(50);
    }
    // Which call icon the last history picture carries: 1 missed, 2
    // incoming, 3 outgoing, 0 none of them.
    BYTE KindShown() {
        const std::array<BYTE, 30>* icons[] = {&renderer.m_abIconMissed,
                                               &renderer.m_abIconIncoming,
                                               &renderer.m_abIconOutgoing};
        for (BYTE kind = 1; kind <= 3; ++kind) {
            bool same = true;
            for (int row = 0; row < CDisplayRenderer::kIconRows; ++row)
                same = same && renderer.m_abPicture[row * 16] == (*icons[kind - 1])[row * 2] &&
                       renderer.m_abPicture[row * 16 + 1] == (*icons[kind - 1])[row * 2 + 1];
            if (same) return kind;
        }
        return 0;
    }
};

struct ListCase {
    BYTE code;
    const char* reply;
    std::vector<std::string> talvery;
};

TEST(SearchHandler, ListsGoWhereThePendingRequestSays) {
    const ListCase cases[] = {
        {Evt::SearchContacts, "USERS alice, bob", {"01 03 00 00 02"}},
        {Evt::SearchCalls, "CALLS 5, 6", {"03 03 00 00 02"}},
        {Evt::SearchMissedCalls, "CALLS 7", {"04 03 00 00 01"}},
        {Evt::GetContactStatus, "CALLS 7", {}},
        {Evt::SearchContacts, "CALLS 7", {}},
        {Evt::SearchCalls, "USERS alice", {}},
        // An empty result has no space after the word: neither list.
        {Evt::SearchContacts, "USERS", {}},
        {Evt::SearchCalls, "CALLS", {}},
    };
    for (const ListCase& c : cases) {
        SearchRig rig;
        rig.Pending(c.code);
        rig.Notify(c.reply);
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList(c.talvery)) << c.reply;
        if (c.code == Evt::SearchContacts && !c.talvery.empty()) {
            EXPECT_EQ(rig.view.m_arrContacts[0], L"alice");
            EXPECT_EQ(rig.view.m_arrContacts[1], L"bob");
        }
    }
}

struct PropertyCase {
    BYTE code;
    const char* path;
    const char* reply;
    std::vector<std::string> talvery;
};

TEST(SearchHandler, PropertyRepliesByRequestCode) {
    const PropertyCase cases[] = {
        {Evt::GetContactStatus, "USER bob ONLINESTATUS", "USER bob ONLINESTATUS AWAY",
         {"09 02 00 02"}},
        {Evt::GetContactStatus, "USER bob ONLINESTATUS", "USER bob ONLINESTATUS CHATTY",
         {"09 02 00 0A"}},
        {Evt::GetMobileNumber, "USER bob PHONE_MOBILE", "USER bob PHONE_MOBILE  +4930",
         {"0A 06 00 2B 34 39 33 30"}},
        {Evt::GetPartnerHandle, "CALL 5 PARTNER_HANDLE", "CALL 5 PARTNER_HANDLE bob",
         {"0E 04 00 62 6F 62"}},
        {Evt::GetDisplayName, "USER bob DISPLAYNAME", "USER bob DISPLAYNAME Bob S",
         {"0D 06 00 42 6F 62 20 53"}},
        {Evt::GetCallTime, "CALL 5 TIMESTAMP", "CALL 5 TIMESTAMP 1700000000",
         {"18 06 00 0B 0E 16 0D 14"}},
        {Evt::GetNamePicture, "USER bob DISPLAYNAME", "USER bob DISPLAYNAME Bob", {"26 01 00"}},
        // A request that takes no property reply.
        {Evt::Dial, "USER bob DISPLAYNAME", "USER bob DISPLAYNAME Bob", {}},
        // Skype's error answers the request with its own code.
        {Evt::GetOfficeNumber, "USER bob PHONE_OFFICE", "ERROR 7 Invalid property", {"0B 01 07"}},
    };
    for (const PropertyCase& c : cases) {
        SearchRig rig;
        rig.replies[std::string("GET ") + c.path] = c.reply;
        rig.Ask(c.code, c.path);
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList(c.talvery)) << c.reply;
        EXPECT_EQ(rig.TakeSent().size(), 1u) << "no follow-up";
    }
}

struct NameCase {
    BYTE code;
    const char* handle;
    const char* fullName;  // the follow-up's value
    std::vector<std::string> talvery;
};

TEST(SearchHandler, EmptyDisplayNameFallsBackToFullNameThenHandle) {
    const NameCase cases[] = {
        {Evt::GetDisplayName, "bob", "Bob S", {"0D 06 00 42 6F 62 20 53"}},
        {Evt::GetDisplayName, "bob", "", {"0D 04 00 62 6F 62"}},
        {Evt::GetNamePicture, "bob", "", {"26 01 00"}},
        // A handle holding the property's word keeps it: only the property changes.
        {Evt::GetDisplayName,
         "DISPLAYNAME.fan",
         "",
         {"0D 10 00 44 49 53 50 4C 41 59 4E 41 4D 45 2E 66 61 6E"}},
    };
    for (const NameCase& c : cases) {
        SearchRig rig;
        std::string user = std::string("USER ") + c.handle;
        rig.replies["GET " + user + " DISPLAYNAME"] = user + " DISPLAYNAME ";
        rig.replies["GET " + user + " FULLNAME"] = user + " FULLNAME " + c.fullName;
        // The dispatcher leaves the handle asked about as the renderer's name.
        rig.renderer.m_strName = Widen(c.handle);
        rig.Ask(c.code, user + " DISPLAYNAME");
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList(c.talvery)) << c.handle << c.fullName;
        EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"GET " + user + " DISPLAYNAME", 2, 1},
                                                     {"GET " + user + " FULLNAME", 2, 1}}));
    }
}

struct HistoryCase {
    const char* name;
    const char* type;
    const char* status;  // asked only for an incoming call
    BYTE kind;
};

TEST(SearchHandler, HistoryChainNamesTheCallAndItsKind) {
    const HistoryCase cases[] = {
        {"Alice", "OUTGOING_P2P", nullptr, 3},
        {"Alice", "INCOMING_P2P", "MISSED", 1},
        {"Alice", "INCOMING_PSTN", "FINISHED", 2},
        // A name holding one of the words is still only a name.
        {"MISSED Calls Club", "OUTGOING_P2P", nullptr, 3},
        {"INCOMING LINE", "INCOMING_P2P", "FINISHED", 2},
    };
    for (const HistoryCase& c : cases) {
        SearchRig rig;
        // Call 5 is also live and in progress: its STATUS reply must not end it.
        rig.view.m_listCalls.push_back(CallEntry{L"5", 2});
        rig.replies["GET CALL 5 PARTNER_DISPNAME"] =
            std::string("CALL 5 PARTNER_DISPNAME ") + c.name;
        rig.replies["GET CALL 5 TYPE"] = std::string("CALL 5 TYPE ") + c.type;
        if (c.status) rig.replies["GET CALL 5 STATUS"] = std::string("CALL 5 STATUS ") + c.status;
        rig.Ask(Evt::GetPartnerDisplayName, "CALL 5 PARTNER_DISPNAME");

        std::vector<Sent> expected{{"GET CALL 5 PARTNER_DISPNAME", 2, 1},
                                   {"GET CALL 5 TYPE", 2, 1}};
        if (c.status) expected.push_back({"GET CALL 5 STATUS", 2, 1});
        EXPECT_EQ(rig.TakeSent(), expected) << c.name;
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList({"2A 01 00"})) << c.name;
        EXPECT_EQ(rig.KindShown(), c.kind) << c.name;
        EXPECT_EQ(rig.renderer.m_strName, Widen(c.name));
        EXPECT_TRUE(test::TakeMain(rig.view).empty()) << "the call handler saw no reply";
        ASSERT_EQ(rig.view.m_listCalls.size(), 1u);
        EXPECT_EQ(rig.view.m_listCalls.front().state, 2);
    }
}

TEST(SearchHandler, OpenContactsNudgesSkypeOnlyWithoutAFocusedContact) {
    for (const wchar_t* focused : {L"", L"bob"}) {
        SearchRig rig;
        rig.search.SetFocused(focused);
        rig.Pending(Evt::OpenAction);
        const std::uint64_t start = rig.bridge.m_sim.Now();
        rig.Notify("OPEN CONTACTS");
        EXPECT_EQ(rig.search.m_bContactsOpened, 1);
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList({"23 01 00"}));
        const auto& commands = rig.bridge.m_skype.m_commands;
        std::vector<Sent> sent = rig.TakeSent();
        if (*focused) {
            EXPECT_TRUE(sent.empty());
            continue;
        }
        EXPECT_EQ(sent, (std::vector<Sent>{{"btn_released up", 3, 1},
                                           {"btn_released down", 3, 1}}));
        ASSERT_GE(commands.size(), 2u);
        EXPECT_EQ(commands[commands.size() - 2].atMs - start, 10u);
        EXPECT_EQ(commands.back().atMs - start, 15u);
    }
}

struct FocusCase {
    BYTE stateBefore;
    const char* reply;
    std::vector<std::string> talvery;
    BYTE stateAfter;
    const wchar_t* focusedAfter;
};

TEST(SearchHandler, FocusedContactAndScrollEchoes) {
    const FocusCase cases[] = {
        {0, "CONTACTS FOCUSED carol", {"24 06 00 63 61 72 6F 6C"}, 2, L"carol"},
        {2, "CONTACTS FOCUSED ", {"24 01 00"}, 3, L""},
        {4, "BTN_RELEASED UP", {"24 04 00 62 6F 62"}, 4, L"bob"},
        {1, "BTN_RELEASED DOWN", {"24 04 00 62 6F 62"}, 1, L"bob"},
        {4, "BTN_RELEASED DOWN", {}, 4, L"bob"},
        {1, "BTN_RELEASED UP", {}, 1, L"bob"},
        {2, "BTN_RELEASED UP", {}, 2, L"bob"},
    };
    for (const FocusCase& c : cases) {
        SearchRig rig;
        rig.search.SetFocused(L"bob");
        rig.search.m_nFocusState = c.stateBefore;
        rig.Pending(Evt::Scroll);
        rig.Notify(c.reply);
        EXPECT_EQ(test::TakeTalvery(rig.view), HexList(c.talvery)) << c.reply;
        EXPECT_EQ(rig.search.m_nFocusState, c.stateAfter) << c.reply;
        EXPECT_EQ(rig.search.Focused(), c.focusedAfter) << c.reply;
    }
}

TEST(SearchHandler, OwnStatusAndVersionDuringARequest) {
    SearchRig rig;
    rig.Pending(Evt::GetUserStatus);
    rig.Notify("USERSTATUS AWAY");
    EXPECT_EQ(test::TakeMain(rig.view), HexList({"16 02 00 02"}));
    EXPECT_EQ(rig.TakeSent(), (std::vector<Sent>{{"get skypeversion", 3, 1}}));
    rig.Pending(Evt::GetUserStatus);
    rig.view.m_bSkypeNewer = 0;
    rig.Notify("SKYPEVERSION 2.0.0.81");
    EXPECT_EQ(rig.view.m_bSkypeNewer, 1);
    EXPECT_TRUE(test::TakeTalvery(rig.view).empty());
}

}  // namespace
}  // namespace kovado
