// The audio device tool against simulated versions, registry values, wave
// devices and panel: which panel it starts, the key strokes it sends (keys,
// scan codes, press and release, waits), and that it sends none unless the
// panel it started has the keyboard focus.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/tools/ToolFakes.h"
#include "tools/audio/AnsiNames.h"
#include "tools/audio/TambreloDlg.h"

namespace kovado {
namespace {

using namespace fakes;
using Names = std::vector<std::string>;

constexpr const char* kStartA2000 = "start rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,1 5";
constexpr const char* kStartAXp = "start rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,2 5";
constexpr const char* kStartB = "start rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0 5";
// The classic panel's Tab: fixed scan code 143, 1 ms after press and release.
constexpr const char* kTabA = "+Tab#143 ~1 -Tab#143 ~1";

std::string Join(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) {
        if (!part.empty()) {
            out += (out.empty() ? "" : " ") + part;
        }
    }
    return out;
}

std::string Repeat(const std::string& token, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out = Join({out, token});
    }
    return out;
}

struct Rig {
    EventLog log;
    FakeSystem system;
    FakeRegistry registry;
    FakeWave wave;
    FakeKeys keys{log};
    FakeClock clock{log};
    FakeProcess process{log, &keys};
    CTambreloDlg dlg{{&system, &registry, &wave, &keys, &process, &clock}};

    Rig(DWORD major, DWORD minor) {
        system.m_major = major;
        system.m_minor = minor;
    }
    // nullptr leaves the value out; both nullptr leaves the key out.
    void DeviceNames(const char* out, const char* in) {
        if (out == nullptr && in == nullptr) {
            return;
        }
        auto& key = registry.Key(RegRoot::LocalMachine, "Software\\KOVADO");
        if (out != nullptr) {
            key["DefaultOutDevice"] = Text(out);
        }
        if (in != nullptr) {
            key["DefaultInDevice"] = Text(in);
        }
    }
    std::string Run() {
        dlg.DoJob();
        EXPECT_TRUE(registry.m_open.empty()) << "every key opened is closed";
        return Condense(log);
    }
};

// An empty registry and no devices: path A types only its frame, path B
// walks the panel without choosing anything.
const std::string kBareA = Join({Repeat(kTabA, 3), "Enter#156"});
const std::string kBareB =
    "Tab Tab ~5 Tab Tab Tab Tab Right Tab Tab Tab ~5 Tab Tab Enter#156";

struct VersionCase {
    const char* name;
    bool versionKnown;
    DWORD major, minor;
    BYTE panelMode;
    std::string log;
};
void PrintTo(const VersionCase& c, std::ostream* out) { *out << c.name; }

class TambreloVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(TambreloVersionTest, StartsThePanelOfItsVersionRow) {
    const VersionCase& c = GetParam();
    Rig rig(c.major, c.minor);
    rig.system.m_bVersionOk = c.versionKnown;
    EXPECT_EQ(rig.Run(), c.log);
    EXPECT_EQ(rig.dlg.m_nPanelMode, c.panelMode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TambreloVersionTest,
    ::testing::Values(
        VersionCase{"Windows2000", true, 5, 0, 2, Join({kStartA2000, kBareA})},
        VersionCase{"WindowsXp", true, 5, 1, 1, Join({kStartAXp, kBareA})},
        // No panel is started, so there is nothing to type into.
        VersionCase{"Windows5_2", true, 5, 2, 1, ""},
        VersionCase{"Later5x", true, 5, 7, 1, ""},
        VersionCase{"WindowsNt4", true, 4, 0, 3, Join({kStartB, kBareB})},
        VersionCase{"Vista", true, 6, 0, 3, Join({kStartB, kBareB})},
        VersionCase{"Windows10", true, 10, 0, 3, Join({kStartB, kBareB})},
        VersionCase{"VersionUnknown", false, 0, 0, 3, Join({kStartB, kBareB})}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClassicCase {
    const char* name;
    Names outputs, inputs;
    const char* outName;
    const char* inName;
    const char* playbackKeys;
    const char* recordingKeys;
};
void PrintTo(const ClassicCase& c, std::ostream* out) { *out << c.name; }

class TambreloClassicTest : public ::testing::TestWithParam<ClassicCase> {};

TEST_P(TambreloClassicTest, ChoosesByLetterOrPosition) {
    const ClassicCase& c = GetParam();
    Rig rig(5, 1);
    rig.wave.m_outputs = c.outputs;
    rig.wave.m_inputs = c.inputs;
    rig.DeviceNames(c.outName, c.inName);
    EXPECT_EQ(rig.Run(),
              Join({kStartAXp, c.playbackKeys, Repeat(kTabA, 3), c.recordingKeys, "Enter#156"}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TambreloClassicTest,
    ::testing::Values(
        // Found ignoring case; a letter gives its upper-case key and no Down.
        ClassicCase{"LetterAndDigit", {"Line Out", "Speakers"},
                    {"Line In", "CD Audio", "2 USB Mic"}, "speakers", "2 usb mic", "S",
                    "Down Down"},
        ClassicCase{"DigitDownsToPosition", {"1 Onboard", "2 Onboard", "3 USB Phone"}, {"Mic"},
                    "3 USB Phone", "mic", "Down Down", "M"},
        ClassicCase{"FirstDeviceNoDown", {"#1 Phone", "Other"}, {"Mic"}, "#1 Phone", nullptr, "",
                    ""},
        // A device that is not connected is not chosen, even by its letter.
        ClassicCase{"NotConnected", {"Speakers"}, {"Mic"}, "Phone", "4 Mic", "", ""},
        ClassicCase{"NoRegistryValues", {"Speakers"}, {"Mic"}, nullptr, nullptr, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ListCase {
    const char* name;
    Names outputs, inputs;
    const char* outName;
    const char* inName;
    // Downs on each page; -1: nothing is chosen there (its Set-Default Enter
    // is left out too). recordingDowns -2: nothing to do, one Enter only.
    int playbackDowns, recordingDowns;
};
void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class TambreloListTest : public ::testing::TestWithParam<ListCase> {};

std::string ListPage(int downs) {
    return downs < 0 ? "Tab Tab ~5" : Join({Repeat("Down", downs), "Tab Tab Enter#156 ~5"});
}

TEST_P(TambreloListTest, WalksTheSortedShortNames) {
    const ListCase& c = GetParam();
    Rig rig(6, 1);
    rig.wave.m_outputs = c.outputs;
    rig.wave.m_inputs = c.inputs;
    rig.DeviceNames(c.outName, c.inName);
    std::string expected =
        c.recordingDowns == -2
            ? "Enter#156"
            : Join({ListPage(c.playbackDowns), "Tab Tab Tab Tab Right Tab",
                    ListPage(c.recordingDowns), "Tab Tab Enter#156"});
    EXPECT_EQ(rig.Run(), Join({kStartB, expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TambreloListTest,
    ::testing::Values(
        ListCase{"NothingToDo", {"Speakers (Onboard Audio)"},
                 {"Microphone (USB Audio Device)", "Line (Onboard Audio)"},
                 "Speakers (USB Audio)", "Mic (usb Phone)", 0, -2},
        // Onboard, USB, Onboard sort to Onboard, Onboard, USB.
        ListCase{"SortedWithRepeats",
                 {"Speakers (Onboard Audio)", "Speakers (USB Audio)", "Line (Onboard Audio)"},
                 {"Line (Onboard Audio)", "Mic (USB Audio)"}, "Speakers (USB Audio)",
                 "Mic (USB Audio)", 3, 2},
        // Neighbours with the same short form are one entry; "Alpha" and
        // "alpha" differ byte for byte and stay two.
        ListCase{"NeighboursMerged",
                 {"Speakers (Alpha Audio)", "Headphones (Alpha Audio)", "Speakers (USB Audio)"},
                 {"Mic (Alpha Audio)", "Line (alpha Audio)", "Mic (USB Audio)"},
                 "Speakers (USB Audio)", "Mic (USB Audio)", 2, 3},
        ListCase{"PlaybackNotConnected", {"Speakers (Onboard Audio)", "Line (Onboard Audio)"},
                 {"Line (Onboard Audio)", "Mic (USB Audio)"}, "Speakers (USB Audio)",
                 "Mic (USB Audio)", -1, 2},
        // Without names nothing is chosen, not even an entry whose short form
        // is empty too.
        ListCase{"NoNames", {"Headset", "Speakers (Onboard Audio)"}, {"Mic (Onboard Audio)"},
                 nullptr, nullptr, -1, -1},
        ListCase{"NoNamesFirstRecordingShortFormEmpty", {"Speakers (Onboard Audio)"},
                 {"Headset"}, nullptr, nullptr, 0, -2},
        ListCase{"UnreadableFirstRecordingCountsAsEmpty", {"Speakers (Onboard Audio)"},
                 {FakeWave::kUnreadable, "Mic (USB Audio)"}, nullptr, nullptr, 0, -2}),
    [](const auto& info) { return std::string(info.param.name); });

// Whether the started panel gets the keys. The devices make path B's whole
// sequence "Down Tab Tab Enter#156 ~5 ..." when it does.
struct PanelCase {
    const char* name;
    UINT startResult;
    WindowHandle focusBefore;
    WindowHandle focusOnStart;
    int looksBeforeFocus;
    int focusLostAfterKeyEvents;
    std::string log;
    // The started program's own window, found whether or not it has the focus.
    WindowHandle windowOnStart = 0;
    int raisesRefused = 0;  // -1: it cannot be brought forward at all
};
void PrintTo(const PanelCase& c, std::ostream* out) { *out << c.name; }

const std::string kWholeB =
    "Down Tab Tab Enter#156 ~5 Tab Tab Tab Tab Right Tab Down Down Tab Tab Enter#156 ~5 "
    "Tab Tab Enter#156";
const std::string kNoPanel = Join({kStartB, Repeat("~100", kPanelPolls)});

class TambreloPanelTest : public ::testing::TestWithParam<PanelCase> {};

TEST_P(TambreloPanelTest, TypesOnlyIntoThePanelItStarted) {
    const PanelCase& c = GetParam();
    Rig rig(6, 1);
    rig.wave.m_outputs = {"Speakers (USB Audio)"};
    rig.wave.m_inputs = {"Line (Onboard Audio)", "Mic (USB Audio)"};
    rig.DeviceNames("Speakers (USB Audio)", "Mic (USB Audio)");
    auto& options = rig.registry.Key(RegRoot::CurrentUser,
                                     "Software\\Microsoft\\Multimedia\\Audio\\DeviceCpl");
    options["ShowHiddenDevices"] = RegValue{platform::kRegDword, {1, 0, 0, 0}};
    // As the main program leaves it just before it starts the tool.
    auto& product = rig.registry.Key(RegRoot::LocalMachine, "SOFTWARE\\KOVADO");
    product["Tambrelo"] = RegValue{platform::kRegDword, {1, 0, 0, 0}};
    rig.keys.m_focus = c.focusBefore;
    rig.keys.m_raisesRefused = c.raisesRefused;
    rig.process.m_windowOnStart = c.windowOnStart;
    rig.keys.m_focusLostAfter = c.focusLostAfterKeyEvents;
    rig.process.m_result = c.startResult;
    rig.process.m_focusOnStart = c.focusOnStart;
    rig.process.m_looksBeforeFocus = c.looksBeforeFocus;

    EXPECT_EQ(rig.Run(), c.log);
    // The panel options are changed only when keys go to the panel.
    bool typed = c.log.find("Down") != std::string::npos;
    EXPECT_EQ(options["ShowHiddenDevices"].data[0], typed ? 0 : 1);
    // A sequence that did not reach the panel to its end leaves the set-up to
    // the next run.
    bool done = c.log.find(kWholeB) != std::string::npos;
    EXPECT_EQ(product["Tambrelo"].data, (std::vector<BYTE>{BYTE(done ? 1 : 0), 0, 0, 0}));
    EXPECT_EQ(product["Tambrelo"].type, platform::kRegDword);
}

constexpr WindowHandle kUser = FakeKeys::kUserWindow;
constexpr WindowHandle kPanel = FakeKeys::kPanel;
constexpr WindowHandle kErrorBox = 0x30;  // a new foreign window without tabs

INSTANTIATE_TEST_SUITE_P(
    Table, TambreloPanelTest,
    ::testing::Values(
        PanelCase{"PanelTakesFocus", 33, kUser, kPanel, 0, -1, Join({kStartB, kWholeB})},
        PanelCase{"PanelSlowToTakeFocus", 33, kUser, kPanel, 3, -1,
                  Join({kStartB, "~100 ~100 ~100", kWholeB})},
        PanelCase{"NothingHadFocusBefore", 33, 0, kPanel, 0, -1, Join({kStartB, kWholeB})},
        PanelCase{"StartFails", 2, kUser, kPanel, 0, -1, kStartB},
        PanelCase{"FocusStaysWithUser", 33, kUser, kUser, 0, -1, kNoPanel},
        PanelCase{"ErrorBoxTakesFocus", 33, kUser, kErrorBox, 0, -1, kNoPanel},
        PanelCase{"PanelHadFocusBefore", 33, kPanel, kPanel, 0, -1, kNoPanel},
        // Lost during the second stroke: its release still goes out, then nothing.
        PanelCase{"FocusLostMidway", 33, kUser, kPanel, 0, 3, Join({kStartB, "Down Tab"})},
        // Started from the background, the panel stays behind the user's
        // window until it is brought forward.
        PanelCase{"PanelBehindBroughtForward", 33, kUser, kUser, 0, -1,
                  Join({kStartB, "raise", kWholeB}), kPanel},
        PanelCase{"PanelBehindBroughtForwardAtTheThirdAttempt", 33, kUser, kUser, 0, -1,
                  Join({kStartB, "raise ~100 raise ~100 raise", kWholeB}), kPanel, 2},
        PanelCase{"PanelThatStaysBehindIsClosed", 33, kUser, kUser, 0, -1,
                  Join({kStartB, Repeat("raise ~100", kRaiseAttempts), "close 32"}), kPanel, -1},
        PanelCase{"StartedProgramsWindowWithoutTabsIsLeftAlone", 33, kUser, kUser, 0, -1,
                  kNoPanel, kErrorBox}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TambreloKeysTest, LooksUpTheScanCodeAfreshForPressAndRelease) {
    struct SwitchingLayout : FakeKeys {
        using FakeKeys::FakeKeys;
        UINT m_lookups = 0;
        UINT MapVirtualKey(UINT code, UINT mapType) override {
            return ++m_lookups == 2 ? 0x77 : FakeKeys::MapVirtualKey(code, mapType);
        }
    };
    EventLog log;
    FakeSystem system;
    FakeRegistry registry;
    FakeWave wave;
    wave.m_outputs = {"Speakers"};
    registry.Key(RegRoot::LocalMachine, "SOFTWARE\\KOVADO")["DefaultOutDevice"] = Text("Speakers");
    SwitchingLayout keys(log);
    FakeClock clock(log);
    FakeProcess process(log, &keys);
    system.m_major = 5;
    system.m_minor = 1;
    CTambreloDlg dlg({&system, &registry, &wave, &keys, &process, &clock});
    dlg.DoJob();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], "+S");
    EXPECT_EQ(log[2], "-S#119");
}

struct OptionCase {
    const char* name;
    bool present;
    DWORD type;
    std::vector<BYTE> before, after;
};
void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.name; }

constexpr DWORD kDword = platform::kRegDword;
constexpr DWORD kBinary = platform::kRegBinary;

class HideInactiveDevicesTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(HideInactiveDevicesTest, ClearsOnlyAFirstByteOfOne) {
    const OptionCase& c = GetParam();
    Rig rig(6, 1);
    auto& key = rig.registry.Key(RegRoot::CurrentUser,
                                 "Software\\Microsoft\\Multimedia\\Audio\\DeviceCpl");
    const char* options[] = {"ShowDisconnectedDevices", "ShowHiddenDevices"};
    if (c.present) {
        for (const char* option : options) {
            key[option] = RegValue{c.type, c.before};
        }
    }
    rig.dlg.HideInactiveDevices();

    bool rewritten = c.before != c.after;
    EXPECT_EQ(rig.registry.m_writes.size(), rewritten ? 2u : 0u);
    for (const char* option : options) {
        if (!c.present) {
            EXPECT_EQ(key.count(option), 0u);
            continue;
        }
        EXPECT_EQ(key[option].type, c.type) << option;
        EXPECT_EQ(key[option].data, c.after) << option;
    }
    EXPECT_TRUE(rig.registry.m_open.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, HideInactiveDevicesTest,
    ::testing::Values(OptionCase{"DwordOne", true, kDword, {1, 0, 0, 0}, {0, 0, 0, 0}},
                      OptionCase{"OneByteBinary", true, kBinary, {1}, {0}},
                      OptionCase{"OnlyFirstByteCleared", true, kBinary, {1, 1, 0}, {0, 1, 0}},
                      OptionCase{"Two", true, kDword, {2, 0, 0, 0}, {2, 0, 0, 0}},
                      OptionCase{"Zero", true, kDword, {0, 0, 0, 0}, {0, 0, 0, 0}},
                      OptionCase{"TooLong", true, kBinary, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}},
                      OptionCase{"Empty", true, kBinary, {}, {}},
                      OptionCase{"Missing", false, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TambreloNamesTest, ReadsOnlyNamesThatFitWithTheirNul) {
    struct Case {
        RegValue value;
        std::string expected;
    };
    RegValue unterminated127{platform::kRegSz, std::vector<BYTE>(127, 'x')};
    RegValue full128{platform::kRegSz, std::vector<BYTE>(128, 'x')};
    RegValue binary{platform::kRegBinary, {'U', 'S', 'B', 0, 'z'}};
    const Case cases[] = {
        {Text(std::string(127, 'x')), std::string(127, 'x')},
        {unterminated127, std::string(127, 'x')},
        {binary, "USB"},  // the type is not looked at
        {full128, "old"},
        {Text(std::string(128, 'x')), "old"},
    };
    for (const Case& c : cases) {
        Rig rig(6, 1);
        rig.registry.m_machineRights = platform::kKeyRead;  // a UAC session
        rig.registry.Key(RegRoot::LocalMachine, "SOFTWARE\\KOVADO")["DefaultInDevice"] = c.value;
        rig.dlg.m_strInName = "old";
        EXPECT_TRUE(rig.dlg.ReadDeviceNames());
        EXPECT_EQ(rig.dlg.m_strInName, c.expected);
        EXPECT_EQ(rig.registry.m_opened, std::vector<std::string>{"SOFTWARE\\KOVADO 0x20019 64"});
    }
    Rig noKey(6, 1);
    noKey.dlg.m_strOutName = "old";
    EXPECT_FALSE(noKey.dlg.ReadDeviceNames());
    EXPECT_EQ(noKey.dlg.m_strOutName, "old");
}

TEST(AnsiNamesTest, ShortDeviceName) {
    const std::pair<const char*, const char*> cases[] = {
        {"Speakers (USB Audio Device)", "USB"},
        {"USB Audio Device", "USB"},
        {"Headset", ""},
        {"Mic (USB)", ""},
        {"", ""},
        {"Line (Realtek HD (rear) Audio)", "Realtek"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(ShortDeviceName(name), expected) << name;
    }
}

TEST(AnsiNamesTest, CompareIgnoresCaseOfSingleByteLettersOnly) {
    FakeSystem shiftJis;
    shiftJis.m_bShiftJis = true;
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"usb", "USB", 0},
        {"Onboard", "USB", -1},
        {"USB", "usb2", -1},
        {"_x", "ax", -1},  // letters compare as lower case
        {"\x82\x61", "\x82\x41", 1},  // second bytes of two-byte characters differ
        {"\x82\x61Z", "\x82\x61z", 0},
        {"\x82", "\x82\x41", -1},
    };
    for (const Case& c : cases) {
        int result = CompareNoCase(c.a, c.b, shiftJis);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    }
}

}  // namespace
}  // namespace kovado
