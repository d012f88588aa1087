// "setting\ParameterSetting.cc" at start-up: the switches, the ids and the
// line syntax of the Unicode settings files.
#include "tests/settings/SettingsFixture.h"

namespace kovado {
namespace {

constexpr bool kNoFile = false;

struct ParameterCase {
    const char* name;
    bool present;
    std::string bytes;
    BOOL debug, handshake, ctrlPipe;
    WORD pid6611, pid6612, pid6621, vendor;
};
void PrintTo(const ParameterCase& c, std::ostream* out) { *out << c.name; }

class ParameterSettingsTest : public test::SettingsFixture,
                              public ::testing::WithParamInterface<ParameterCase> {};

TEST_P(ParameterSettingsTest, StartUpReadsTheParameterFile) {
    const ParameterCase& c = GetParam();
    if (c.present) m_dir.Put("setting/ParameterSetting.cc", c.bytes);
    CBridgeView& view = Start();
    EXPECT_EQ(view.m_bDebug, c.debug);
    EXPECT_EQ(view.m_bHandshake, c.handshake);
    EXPECT_EQ(view.m_bCtrlPipe, c.ctrlPipe);
    EXPECT_EQ(view.m_nPid6611, c.pid6611);
    EXPECT_EQ(view.m_nPid6612, c.pid6612);
    EXPECT_EQ(view.m_nPid6621, c.pid6621);
    EXPECT_EQ(view.m_nVendorId, c.vendor);
}

using test::Unicode;

INSTANTIATE_TEST_SUITE_P(
    Table, ParameterSettingsTest,
    ::testing::Values(
        ParameterCase{"NoFileKeepsDefaults", kNoFile, "", 0, 1, 1, 0x6611, 0x6612, 0x6621, 0x0E5E},
        ParameterCase{"ByteOrderMarkOnly", true, "\xFF\xFE", 0, 1, 1, 0x6611, 0x6612, 0x6621,
                      0x0E5E},
        ParameterCase{"SwitchWordsInAnyCase", true,
                      Unicode(L"#Debug#ENABLE\r\n#Handshake#Disable\r\n#CTRLpipe#disablE\r\n"),
                      1, 0, 0, 0x6611, 0x6612, 0x6621, 0x0E5E},
        ParameterCase{"ValueIsNotTrimmed", true,
                      Unicode(L"#Debug# enable\r\n#Handshake#disable \r\n"), 0, 1, 1, 0x6611,
                      0x6612, 0x6621, 0x0E5E},
        ParameterCase{"EmptyValueSwitchesHandshakeOnAgain", true,
                      Unicode(L"#CTRLpipe#disable\r\n#Handshake#disable\r\n#Handshake#\r\n"), 0,
                      1, 0, 0x6611, 0x6612, 0x6621, 0x0E5E},
        // The key may stand anywhere; the first key of the order decides the
        // line, so CTRLpipe is not read from the second line.
        ParameterCase{"FirstKeyInOrderDecides", true,
                      Unicode(L"comment\r\nenable#Debug#\r\n#Handshake#disable\r\n"
                              L"#CTRLpipe#disable#Handshake#\r\n"),
                      1, 1, 1, 0x6611, 0x6612, 0x6621, 0x0E5E},
        ParameterCase{"IdsWithEitherPrefix", true,
                      Unicode(L"#PID:0X6621#0x6622\r\n#PID:0X6611#0X66aB\r\n"
                              L"#VID:0X0E5E#xx0e5f and more\r\n"),
                      0, 1, 1, 0x66AB, 0x6612, 0x6622, 0x0E5F},
        ParameterCase{"MalformedIdsKeepTheirValue", true,
                      Unicode(L"#PID:0X6611#0x661\r\n#PID:0X6612#0x66g2\r\n#PID:0X6621#\r\n"),
                      0, 1, 1, 0x6611, 0x6612, 0x6621, 0x0E5E},
        ParameterCase{"LastLineWithoutLineEndIsIgnored", true,
                      Unicode(L"#Handshake#disable\r\n#Debug#enable"), 0, 0, 1, 0x6611, 0x6612,
                      0x6621, 0x0E5E},
        // A bare LF takes the line's last character with it.
        ParameterCase{"BareLineFeedLosesTheLastCharacter", true,
                      Unicode(L"#Handshake#disable\n#Debug#enablex\n"), 1, 1, 1, 0x6611, 0x6612,
                      0x6621, 0x0E5E},
        ParameterCase{"FileWithoutByteOrderMarkKeepsItsFirstLine", true,
                      Unicode(L"#Debug#enable\r\n", false), 1, 1, 1, 0x6611, 0x6612, 0x6621,
                      0x0E5E},
        ParameterCase{"OddByteCountDropsTheLoneByte", true,
                      Unicode(L"#Debug#enable\r\n") + "#", 1, 1, 1, 0x6611, 0x6612, 0x6621,
                      0x0E5E}),
    [](const auto& info) { return std::string(info.param.name); });

// Quick replies are switched on only by the word "enable"; the other keys of a
// line go first.
TEST(QuickReplySetting, OnlyEnableSwitchesItOn) {
    const struct {
        const char* name;
        bool present;
        std::wstring text;
        BOOL quick;
    } cases[] = {
        {"no file", false, L"", 0},
        {"enable in any case", true, L"#QuickReply#EnAbLe\r\n", 1},
        {"value not trimmed", true, L"#QuickReply# enable\r\n", 0},
        {"other value", true, L"#QuickReply#on\r\n", 0},
        {"later line switches off", true, L"#QuickReply#enable\r\n#QuickReply#disable\r\n", 0},
        {"earlier key decides the line", true, L"#Debug#x#QuickReply#enable\r\n", 0},
        {"no line end", true, L"#QuickReply#enable", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        platform::SimPlatform sim;
        sim.m_files.m_baseDir = dir.m_path;
        if (c.present) dir.Put("setting/ParameterSetting.cc", test::Unicode(c.text));
        CBridgeView view(sim.m_services);
        EXPECT_EQ(view.m_bQuickReply, c.quick);
    }
}

}  // namespace
}  // namespace kovado
