// Whole supervision scenarios in virtual time: the tray state, the discover
// broadcast, the status poll and the audio set-up as Skype and the handset
// come and go.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/discovery/Rig.h"

namespace kovado {
namespace {

using platform::SimTray;
using test::Rig;

int CountOf(const std::vector<std::string>& texts, const std::string& text) {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

int IconChanges(Rig& rig) {
    auto changes = rig.sim.m_tray.Changes();
    return static_cast<int>(std::count_if(changes.begin(), changes.end(), [](const auto& c) {
        return c.kind == SimTray::Kind::Icon;
    }));
}

void ExpectTray(Rig& rig, int state, platform::IconHandle icon, const std::wstring& tip) {
    EXPECT_EQ(rig.view.m_pWatcher->m_nState, state);
    SimTray::Shown shown = rig.sim.m_tray.Now();
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.tip, tip);
    platform::IconHandle held;
    std::wstring heldTip;
    rig.view.m_pWatcher->TrayState(held, heldTip);
    EXPECT_EQ(held, icon);
    EXPECT_EQ(heldTip, tip);
}

struct ModelCase {
    WORD product;
    bool statusTimer;  // the 2-second poll runs for this model
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << std::hex << c.product; }

class StartSequence : public testing::TestWithParam<ModelCase> {};

// Passes fall at 0, 1700 (the first one waits 200 ms for the audio tool),
// 3200, 4700, 6200 ... ms.
TEST_P(StartSequence, FromHandsetFoundToAttachedAndUnplugged) {
    const ModelCase& model = GetParam();
    Rig rig;
    CBridgeView& view = rig.view;
    auto& skype = rig.bridge.m_skype;
    rig.EnableLog();
    rig.InstallSkype();
    rig.SetToolFlag(platform::kRegDword, {0, 0, 0, 0});
    rig.sim.m_wave.SetInputs({{L"Microphone"}, {L"USB Audio Device"}});
    int handset = rig.sim.m_hid.AddDevice(0x0E5E, model.product);
    rig.bridge.CreateWindows();
    rig.AddTrayIcon();
    skype.m_attachStatuses = {};  // running, but not answering yet
    // The device loop asks for the user handle once the link is up.
    skype.m_rules = [](const std::string& command) -> std::vector<std::string> {
        if (command == "GET CURRENTUSERHANDLE") return {"CURRENTUSERHANDLE echo123"};
        return {};
    };
    skype.Start();

    // First pass: the handset is found while Skype is not attached.
    rig.bridge.RunFor(1000);
    ExpectTray(rig, kStateConnected, test::kIconOk, L"Kovado");
    EXPECT_NE(view.m_hDevice, 0u);
    auto starts = rig.sim.m_process.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "Tambrelo.exe");
    EXPECT_EQ(starts[0].showCommand, platform::kSwHide);
    platform::SimRegistry::Value flag;
    ASSERT_TRUE(rig.sim.m_registry.GetValue(platform::RegRoot::LocalMachine, test::kProductKey,
                                            L"Tambrelo", flag));
    EXPECT_EQ(flag.type, platform::kRegDword);
    EXPECT_EQ(flag.data, (std::vector<BYTE>{1, 0, 0, 0}));
    wchar_t pid[16];
    std::swprintf(pid, 16, L"PID : 0X%X", static_cast<unsigned>(model.product));
    wchar_t setUp[16];
    std::swprintf(setUp, 16, L"p%x file", static_cast<unsigned>(model.product));
    EXPECT_EQ(rig.Log(), (std::vector<std::wstring>{pid, setUp, L"00 AudioDeviceRegValue",
                                                    L"RegSetValueEx OK"}));
    EXPECT_TRUE(skype.m_commands.empty());  // nothing reaches a client that is not attached
    EXPECT_EQ(view.m_nStatusTimer, 0u);     // the poll waits for the link
    EXPECT_EQ(skype.m_nDiscovers, 0);

    // Next passes: not attached, so the Skype-missing display and a broadcast
    // on every pass; the icon changes once.
    rig.bridge.RunFor(1000);
    ExpectTray(rig, kStateNoSkype, test::kIconSkypeFail, L"Can't Find Skype");
    EXPECT_EQ(skype.m_nDiscovers, 1);
    if (model.product != kModel6621) {  // the 0x6621 handset takes it once ready
        // The handset hears that Skype is not available: UserStatus 16 01 B3.
        bool told = false;
        for (const auto& report : rig.sim.m_hid.WrittenTo(handset))
            told |= std::vector<BYTE>(report.bytes.begin() + 1, report.bytes.begin() + 5) ==
                    std::vector<BYTE>{0x02, 0x16, 0x01, 0xB3};
        EXPECT_TRUE(told);
    }
    rig.bridge.RunFor(1500);
    EXPECT_EQ(skype.m_nDiscovers, 2);
    EXPECT_EQ(IconChanges(rig), 2);
    EXPECT_EQ(view.m_hSkypeWnd, 0u);

    // The client answers the next broadcast; the pass after it sees the link.
    skype.m_attachStatuses = {0};
    rig.bridge.RunFor(1500);
    EXPECT_EQ(view.m_hSkypeWnd, skype.m_hWnd);
    EXPECT_EQ(view.m_pWatcher->m_nState, kStateNoSkype);
    rig.bridge.RunFor(1500);
    ExpectTray(rig, kStateConnected, test::kIconOk, L"Kovado");
    EXPECT_EQ(skype.m_nDiscovers, 3);
    ASSERT_EQ(rig.Commands(),
              (std::vector<std::string>{"GET CURRENTUSERHANDLE", "get userstatus",
                                        "SET AUDIO_IN USB Audio Device",
                                        "SET AUDIO_OUT USB Audio Device"}));
    for (const auto& command : skype.m_commands) {
        EXPECT_EQ(command.replyMode, 3);
        EXPECT_EQ(command.replySubMode, 1);
    }
    EXPECT_EQ(view.m_nStatusTimer, model.statusTimer ? kStatusTimerId : 0u);
    rig.bridge.RunFor(6000);  // the timer repeats the poll every 2 s
    EXPECT_EQ(CountOf(rig.Commands(), "get userstatus"), model.statusTimer ? 4 : 1);

    // Unplugged: closed on the next pass, which shows the no-handset display;
    // the status timer is left running.
    rig.sim.m_hid.Unplug(handset);
    rig.bridge.RunFor(1500);
    ExpectTray(rig, kStateNoHandset, test::kIconUsbFail, L"Can't Find USB Phone");
    EXPECT_EQ(view.m_hDevice, 0u);
    EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 0);
    EXPECT_EQ(view.m_nStatusTimer, model.statusTimer ? kStatusTimerId : 0u);

    // Plugged again: the audio tool has run once already; the audio commands
    // follow every change into the connected state.
    std::size_t logged = rig.Log().size();
    std::size_t sent = skype.m_commands.size();
    rig.sim.m_hid.Plug(handset);
    rig.bridge.RunFor(1500);
    ExpectTray(rig, kStateConnected, test::kIconOk, L"Kovado");
    EXPECT_EQ(rig.sim.m_process.Starts().size(), 1u);
    auto log = rig.Log();
    log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(logged));
    EXPECT_EQ(log, (std::vector<std::wstring>{pid, setUp, L"01 AudioDeviceRegValue"}));
    // A running status timer is not started again; the third model, which
    // has none, asks for the status on every change.
    std::vector<std::string> expected{"SET AUDIO_IN USB Audio Device",
                                      "SET AUDIO_OUT USB Audio Device"};
    if (!model.statusTimer) expected.insert(expected.begin(), "get userstatus");
    auto commands = rig.Commands();
    commands.erase(commands.begin(), commands.begin() + static_cast<std::ptrdiff_t>(sent));
    EXPECT_EQ(commands, expected);
}

INSTANTIATE_TEST_SUITE_P(Models, StartSequence,
                         testing::Values(ModelCase{0x6611, true}, ModelCase{0x6612, true},
                                         ModelCase{0x6621, false}),
                         [](const auto& info) {
                             char name[8];
                             std::snprintf(name, sizeof name, "p%x", info.param.product);
                             return std::string(name);
                         });

TEST(Supervision, WithoutSkypeInstalledNothingElseIsLookedAt) {
    Rig rig(true);
    rig.sim.m_hid.AddDevice(0x0E5E, 0x6611);
    rig.bridge.CreateWindows();
    rig.AddTrayIcon();
    rig.bridge.RunFor(8000);  // passes at 0, 3000 and 6000 ms
    ExpectTray(rig, kStateUndecided, test::kIconSkypeMissing, L"Skype isn't installed");
    EXPECT_EQ(rig.sim.m_hid.m_nEnumerations, 0);
    EXPECT_EQ(rig.bridge.m_skype.m_nDiscovers, 0);
    EXPECT_EQ(rig.sim.m_tray.Changes().size(), 1u + 3 * 2);  // the add, then icon and tip per pass

    rig.InstallSkype(platform::RegRoot::LocalMachine);
    rig.bridge.RunFor(1500);  // the pass at 9000 ms
    ExpectTray(rig, kStateConnected, test::kIconOk, L"Kovado");
    EXPECT_EQ(rig.sim.m_registry.OpenKeys(), 0);
}

TEST(Supervision, SkypeReinstalledKeepsTheMissingIconButNotItsTooltip) {
    Rig rig(true);
    CBridgeView& view = rig.view;
    rig.InstallSkype();
    rig.sim.m_hid.AddDevice(0x0E5E, 0x6612);
    rig.bridge.CreateWindows();
    rig.AddTrayIcon();
    rig.bridge.RunFor(2000);  // found at 0 ms, broadcast at 1500 ms
    ExpectTray(rig, kStateNoSkype, test::kIconSkypeFail, L"Can't Find Skype");
    rig.bridge.RunFor(1500);  // attached
    ExpectTray(rig, kStateConnected, test::kIconOk, L"Kovado");

    rig.UninstallSkype();
    rig.bridge.RunFor(1500);
    ExpectTray(rig, kStateConnected, test::kIconSkypeMissing, L"Skype isn't installed");

    // Back again: the state did not change, so neither does the icon; the
    // tooltip, set on every pass, follows the state and the current language.
    rig.InstallSkype();
    view.m_arrUserTexts[kTipConnected] = L"Kovado (de)";
    rig.bridge.RunFor(3000);
    ExpectTray(rig, kStateConnected, test::kIconSkypeMissing, L"Kovado (de)");
}

}  // namespace
}  // namespace kovado
