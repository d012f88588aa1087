// Notifications Skype sends while it handles one of the bridge's commands
// arrive inside that send, in the middle of routing the notification that
// caused the command. Each case runs twice, once with the answers nested in
// the sends and once with them arriving after the routing; the call list, the
// handset's commands and Skype's commands must come out the same.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "bridge/SearchHandler.h"
#include "platform/Text.h"
#include "tests/bridge/HandlerRig.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

struct NestedCase {
    const char* name;
    BYTE mode, subMode;  // the conversation state before the first notification
    BYTE searchCode;
    const char* query;
    std::vector<CallEntry> callsBefore;
    const char* notification;
    // Skype's answer to a command, each sent once.
    std::map<std::string, std::string> answers;
    const char* callsAfter;  // "id:state ..."
};

void PrintTo(const NestedCase& c, std::ostream* out) { *out << c.name; }

struct Outcome {
    std::string calls;
    std::vector<test::Bytes> main, talvery;
    std::vector<test::Sent> sent;
};

std::string Calls(const CBridgeView& view) {
    std::ostringstream out;
    for (const CallEntry& entry : view.m_listCalls)
        out << (out.tellp() > 0 ? " " : "") << ToUtf8(entry.id) << ':' << int(entry.state);
    return out.str();
}

Outcome RouteOnce(const NestedCase& c, bool nested) {
    test::HandlerRig rig;
    CBridgeView& view = rig.view;
    for (const CallEntry& entry : c.callsBefore) view.m_listCalls.push_back(entry);
    view.m_pSearchHandler->m_nRequestCode = c.searchCode;
    view.m_pSearchHandler->SetQuery(Widen(c.query));
    view.m_nReplyMode = c.mode;
    view.m_nReplySubMode = c.subMode;
    auto pending = std::make_shared<std::map<std::string, std::string>>(c.answers);
    auto answer = [pending](const std::string& command) -> std::vector<std::string> {
        auto it = pending->find(command);
        if (it == pending->end()) return {};
        std::string text = it->second;
        pending->erase(it);
        return {text};
    };
    if (nested) {
        rig.bridge.m_skype.m_nestedRules = answer;
    } else {
        rig.bridge.m_skype.m_rules = answer;
    }
    rig.Notify(c.notification);
    EXPECT_TRUE(pending->empty()) << "every answer was asked for";
    return Outcome{Calls(view), test::TakeMain(view), test::TakeTalvery(view), rig.TakeSent()};
}

class Reentry : public ::testing::TestWithParam<NestedCase> {};

TEST_P(Reentry, NestedNotificationsActAsIfTheyCameAfter) {
    const NestedCase& c = GetParam();
    Outcome after = RouteOnce(c, false);
    Outcome nested = RouteOnce(c, true);
    EXPECT_EQ(after.calls, c.callsAfter);
    EXPECT_EQ(nested.calls, after.calls);
    EXPECT_EQ(nested.main, after.main);
    EXPECT_EQ(nested.talvery, after.talvery);
    EXPECT_EQ(nested.sent, after.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reentry,
    ::testing::Values(
        // An empty display name asks the full name; a call placed meanwhile
        // is one call, however the outer routing goes on.
        NestedCase{"FullNameFollowUpThenARoutingCall", kModeAwaitReply, 1, Evt::GetDisplayName,
                   "USER bob DISPLAYNAME", {}, "USER bob DISPLAYNAME ",
                   {{"GET USER bob FULLNAME", "CALL 7 STATUS ROUTING"}}, "7:0"},
        NestedCase{"RingingThenItsPartnerHandle", kModeIdle, 0, 0, "", {}, "CALL 5 STATUS RINGING",
                   {{"GET CALL 5 PARTNER_HANDLE", "CALL 5 PARTNER_HANDLE bob"}}, "5:1"},
        NestedCase{"RingingThenAnotherCall", kModeIdle, 0, 0, "", {}, "CALL 5 STATUS RINGING",
                   {{"GET CALL 5 PARTNER_HANDLE", "CALL 6 STATUS RINGING"}}, "5:1 6:1"},
        NestedCase{"RingingRepeatedWhileItsCallerIsAsked", kModeIdle, 0, 0, "", {},
                   "CALL 5 STATUS RINGING",
                   {{"GET CALL 5 PARTNER_HANDLE", "CALL 5 STATUS RINGING"}}, "5:1"},
        // The history chain's replies stay its own at every depth: the
        // ringing call 9 hears nothing of a MISSED status.
        NestedCase{"HistoryChainAnsweredInsideItsRequests", kModeAwaitReply, 1,
                   Evt::GetPartnerDisplayName, "CALL 9 PARTNER_DISPNAME", {CallEntry{L"9", 1}},
                   "CALL 9 PARTNER_DISPNAME Bob",
                   {{"GET CALL 9 TYPE", "CALL 9 TYPE INCOMING_P2P"},
                    {"GET CALL 9 STATUS", "CALL 9 STATUS MISSED"}},
                   "9:1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovado
