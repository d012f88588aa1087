// The supervision steps one at a time: which sound device Skype is told to
// use, when the audio tool runs, and when Skype counts as installed.
#include <gtest/gtest.h>

#include "tests/discovery/Rig.h"

namespace kovado {
namespace {

using platform::RegRoot;
using platform::SimWaveDevices;
using test::Rig;

struct AudioCase {
    const char* name;
    std::vector<SimWaveDevices::Device> inputs;
    const char* chosen;  // nullptr: no audio command
};

void PrintTo(const AudioCase& c, std::ostream* os) { *os << c.name; }

const AudioCase kAudioCases[] = {
    {"HighestUsbDeviceWins", {{L"Microphone"}, {L"USB Audio Device"}}, "USB Audio Device"},
    {"CaseIgnoredNameSentAsReported", {{L"Usb Phone"}, {L"Microphone"}}, "Usb Phone"},
    {"CountsDownFromTheLast", {{L"USB One"}, {L"USB Two"}}, "USB Two"},
    {"UnreadableDeviceIsSkipped", {{L"USB One"}, {L"USB Two", false}}, "USB One"},
    {"NoUsbDevice", {{L"Microphone"}, {L"Line In"}}, nullptr},
    {"NoDeviceAtAll", {}, nullptr},
};

class SkypeAudioDevices : public testing::TestWithParam<AudioCase> {};

TEST_P(SkypeAudioDevices, NamesTheHandsetsDeviceForBothDirections) {
    const AudioCase& c = GetParam();
    Rig rig(true);
    rig.bridge.CreateWindows();
    rig.bridge.Discover();
    ASSERT_NE(rig.view.m_hSkypeWnd, 0u);
    rig.sim.m_wave.SetInputs(c.inputs);
    rig.view.m_pWatcher->SetSkypeAudioDevices();
    std::vector<std::string> expected;
    if (c.chosen) {
        expected.push_back(std::string("SET AUDIO_IN ") + c.chosen);
        expected.push_back(std::string("SET AUDIO_OUT ") + c.chosen);
    }
    EXPECT_EQ(rig.Commands(), expected);
}

INSTANTIATE_TEST_SUITE_P(Devices, SkypeAudioDevices, testing::ValuesIn(kAudioCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ToolCase {
    const char* name;
    bool key;                      // "Software\KOVADO" exists
    bool value;                    // the flag value exists
    DWORD type;
    std::vector<BYTE> flag;
    DWORD machineRights;           // what this user may do under HKEY_LOCAL_MACHINE
    bool setFails;
    bool toolUndoes;               // the tool, while it runs, puts the first byte back to 0
    int starts;                    // after two connections
    std::vector<std::wstring> log;
    std::vector<BYTE> flagAfter;
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

constexpr DWORD kAll = ~DWORD{0};
constexpr DWORD kReadOnly = platform::kKeyRead;
constexpr DWORD kReadAndSet = platform::kKeyRead | platform::kKeySetValue;
const std::vector<std::wstring> kRunThenDone = {L"00 AudioDeviceRegValue", L"RegSetValueEx OK",
                                                L"01 AudioDeviceRegValue"};
const std::wstring kRefused = L"RegSetValueEx failed 5";

const ToolCase kToolCases[] = {
    {"StartedOnceThenFlagged", true, true, platform::kRegDword, {0, 0, 0, 0}, kAll, false, false,
     1, kRunThenDone, {1, 0, 0, 0}},
    {"AlreadyRun", true, true, platform::kRegDword, {1, 0, 0, 0}, kAll, false, false, 0,
     {L"01 AudioDeviceRegValue", L"01 AudioDeviceRegValue"}, {1, 0, 0, 0}},
    {"OneByteFlagKeepsItsTypeAndSize", true, true, platform::kRegBinary, {0}, kAll, false, false,
     1, kRunThenDone, {1}},
    // A UAC session never gets all access to a machine key, but the flag needs
    // only query and set-value rights.
    {"UacSessionAllowedToSetTheFlag", true, true, platform::kRegDword, {0, 0, 0, 0}, kReadAndSet,
     false, false, 1, kRunThenDone, {1, 0, 0, 0}},
    // Without set-value rights the flag is still read and the tool started;
    // the refused write is logged, and the next connection starts it again.
    {"UacSessionThatMayOnlyRead", true, true, platform::kRegDword, {0, 0, 0, 0}, kReadOnly, false,
     false, 2, {L"00 AudioDeviceRegValue", kRefused, L"00 AudioDeviceRegValue", kRefused},
     {0, 0, 0, 0}},
    {"FlagNotWrittenBackStartsAgain", true, true, platform::kRegDword, {0, 0, 0, 0}, kAll, true,
     false, 2, {L"00 AudioDeviceRegValue", kRefused, L"00 AudioDeviceRegValue", kRefused},
     {0, 0, 0, 0}},
    // The tool could not bring the panel forward: its word comes after the
    // program's, so the next connection tries again.
    {"ToolThatCouldNotDoItsJobIsStartedAgain", true, true, platform::kRegDword, {0, 0, 0, 0},
     kAll, false, true, 2,
     {L"00 AudioDeviceRegValue", L"RegSetValueEx OK", L"00 AudioDeviceRegValue",
      L"RegSetValueEx OK"},
     {0, 0, 0, 0}},
    {"FlagTooLarge", true, true, platform::kRegBinary, {0, 0, 0, 0, 0}, kAll, false, false, 0, {},
     {0, 0, 0, 0, 0}},
    {"EmptyFlag", true, true, platform::kRegBinary, {}, kAll, false, false, 0, {}, {}},
    {"NoFlag", true, false, 0, {}, kAll, false, false, 0, {}, {}},
    {"NoProductKey", false, false, 0, {}, kAll, false, false, 0, {}, {}},
};

class AudioTool : public testing::TestWithParam<ToolCase> {};

TEST_P(AudioTool, RunsOncePerInstallation) {
    const ToolCase& c = GetParam();
    Rig rig;
    rig.EnableLog();
    auto& registry = rig.sim.m_registry;
    if (c.value)
        rig.SetToolFlag(c.type, c.flag);
    else if (c.key)
        registry.SetValue(RegRoot::LocalMachine, test::kProductKey, L"Other", platform::kRegSz, {});
    registry.m_dwMachineRights = c.machineRights;
    registry.m_bSetFails = c.setFails;
    if (c.toolUndoes)
        rig.sim.m_process.m_onStart = [&](const std::string&) { rig.SetToolFlag(c.type, c.flag); };

    rig.view.m_pWatcher->RunAudioToolOnce();
    rig.view.m_pWatcher->RunAudioToolOnce();

    auto starts = rig.sim.m_process.Starts();
    ASSERT_EQ(static_cast<int>(starts.size()), c.starts);
    for (const auto& start : starts) {
        EXPECT_EQ(start.commandLine, "Tambrelo.exe");
        EXPECT_EQ(start.showCommand, platform::kSwHide);
    }
    EXPECT_EQ(rig.Log(), c.log);
    platform::SimRegistry::Value after;
    if (c.value) {
        ASSERT_TRUE(
            registry.GetValue(RegRoot::LocalMachine, test::kProductKey, L"Tambrelo", after));
        EXPECT_EQ(after.type, c.type);
        EXPECT_EQ(after.data, c.flagAfter);
    }
    EXPECT_EQ(registry.OpenKeys(), 0);
}

INSTANTIATE_TEST_SUITE_P(Flags, AudioTool, testing::ValuesIn(kToolCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct InstalledCase {
    const char* name;
    std::size_t userPath;     // bytes of "SkypePath" under HKEY_CURRENT_USER, 0: none
    std::size_t machinePath;  // and under HKEY_LOCAL_MACHINE, 64-bit view
    std::size_t machine32;    // and in its 32-bit view, where a 32-bit Skype writes it
    DWORD machineRights;
    bool installed;
};

void PrintTo(const InstalledCase& c, std::ostream* os) { *os << c.name; }

const InstalledCase kInstalledCases[] = {
    {"CurrentUser", 40, 0, 0, kAll, true},
    {"LocalMachine", 0, 40, 0, kAll, true},
    {"LocalMachineForAUacSession", 0, 40, 0, kReadOnly, true},
    {"ThirtyTwoBitSkype", 0, 0, 40, kAll, true},
    {"ThirtyTwoBitSkypeForAUacSession", 0, 0, 40, kReadOnly, true},
    {"TooLongInTheSixtyFourBitViewFitsInTheOther", 0, 300, 40, kAll, true},
    {"PathFillingTheBuffer", 256, 0, 0, kAll, true},
    {"PathTooLongCountsAsAbsent", 257, 0, 0, kAll, false},
    {"TooLongForTheUserButFitsForTheMachine", 300, 40, 0, kAll, true},
    {"Neither", 0, 0, 0, kAll, false},
};

class SkypeInstalled : public testing::TestWithParam<InstalledCase> {};

TEST_P(SkypeInstalled, ByTheSkypePathValue) {
    const InstalledCase& c = GetParam();
    Rig rig;
    rig.bridge.CreateWindows();
    rig.AddTrayIcon();
    if (c.userPath) rig.InstallSkype(RegRoot::CurrentUser, c.userPath);
    if (c.machinePath) rig.InstallSkype(RegRoot::LocalMachine, c.machinePath);
    if (c.machine32)
        rig.InstallSkype(RegRoot::LocalMachine, c.machine32, platform::RegView::Bits32);
    rig.sim.m_registry.m_dwMachineRights = c.machineRights;

    EXPECT_EQ(rig.view.m_pWatcher->CheckSkypeInstalled(), c.installed ? 1 : 0);
    EXPECT_EQ(rig.sim.m_registry.OpenKeys(), 0);
    auto shown = rig.sim.m_tray.Now();
    EXPECT_EQ(shown.icon, c.installed ? 0 : test::kIconSkypeMissing);
    EXPECT_EQ(shown.tip, c.installed ? L"" : L"Skype isn't installed");
    EXPECT_EQ(rig.view.m_pWatcher->m_nState, kStateUndecided);
}

INSTANTIATE_TEST_SUITE_P(Registry, SkypeInstalled, testing::ValuesIn(kInstalledCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovado
