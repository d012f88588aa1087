// The handset text table: built-in texts, the 8-bit menu files read in
// chunks, and the copy a language's file leaves in "setting\MenuSetting.cc".
#include <algorithm>
#include <array>
#include <utility>

#include "settings/Settings.h"
#include "tests/settings/SettingsFixture.h"

namespace kovado {
namespace {

using MenuTextsTest = test::SettingsFixture;

std::string Repeat(const std::string& part, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += part;
    return out;
}

// Every slot of the built-in table, the empty ones included, byte for byte:
// the text, then zeros to the end of the slot.
TEST_F(MenuTextsTest, BuiltInTableIsTheDefaultsTable) {
    std::array<std::string, 64> expected{};
    const std::pair<int, const char*> defaults[] = {
        {0, "2O2N2L2I2N2E"},       {1, "2O2F2F2L2I2N2E"},     {2, "2A2W2A2Y"},
        {3, "2N2A"},               {4, "2D2N2D"},             {5, "2I2N2V2I2S2I2B2L2E"},
        {6, "2L2O2G2G2E2D2O2U2T"}, {7, "2U2N2K2N2O2W2N"},     {8, "2S2K2Y2P2E2O2U2T"},
        {9, "2S2K2Y2P2E2M2E"},     {16, "2C2O2N2T2A2C2T2S"},  {17, "2M2I2S2S2L2I2S2T"},
        {18, "2C2A2L2L2L2I2S2T"},  {19, "2O2P2T2I2O2N"},      {20, "2V2O2L2 2S2E2T"},
        {21, "2V2O2L"},            {22, "2H2O2L2D2 2S2E2T"},  {23, "2H2O2L2D2 2M2U2T2E"},
        {24, "2H2O2L2D"},          {25, "2R2I2N2G2 2S2E2T"},  {26, "2R2I2N2G2 2P2C"},
        {27, "2R2I2N2G"},          {28, "2K2E2Y2 2T2O2N2E"},  {29, "2T2O2N2E2 2O2F2F"},
        {30, "2T2O2N2E2 2O2N"},    {31, "2N2A2M2E2 2S2E2T"},  {32, "2A2L2I2A2S"},
        {33, "2U2S2E2R2N2A2M2E"},  {34, "2R2I2N2G2 2V2O2L"},  {35, "2C2A2L2L2T2I2M2E"},
        {36, "2M2O2B2I2L2E"},      {37, "2H2O2M2E"},          {38, "2O2F2F2I2C2E"},
        {39, "2R2I2N2G2I2N2G"},    {40, "2T2A2L2K2I2N2G"},    {41, "2C2A2L2L2I2N2G"},
        {42, "2C2A2L2L2F2A2I2L"},  {43, "2M2I2S2S2E2D"},      {44, "2N2O2N2U2M2B2E2R"},
        {45, "2R2E2S2E2T"},        {46, "2S2t2a2t2u2s"},
        {47, "2C2a2n2'2t2 2F2i2n2d2 2S2k2y2p2e"},             {48, "2S2t2a2n2d2b2y"},
        {49, "2M2U2T2E"},          {50, "2O2K"},
    };
    for (const auto& [slot, text] : defaults) expected[static_cast<std::size_t>(slot)] = text;

    CBridgeView& view = Start();  // no settings files: the built-in texts only
    for (std::size_t slot = 0; slot < expected.size(); ++slot) {
        std::array<BYTE, 65> bytes{};
        std::copy(expected[slot].begin(), expected[slot].end(), bytes.begin());
        EXPECT_EQ(view.m_aLcdTexts[slot], bytes) << "slot " << slot;
    }
}

TEST_F(MenuTextsTest, StartUpFileOverridesOnlyTheSlotsItNames) {
    const std::string file = "#OK#2O2K\r\n"
                             " #MUTE#2X\r\n"          // no key at the first byte
                             "#STATUS#\r\n"           // empty value
                             "#RESET#" + Repeat("2A", 35) + "\r\n"  // 70 bytes
                             "a note with a bare line feed\n"
                             "#HOME#2H";              // last line without line end
    m_dir.Put("setting/MenuSetting.cc", file);
    CBridgeView& view = Start();

    EXPECT_EQ((std::vector<BYTE>(view.m_aLcdTexts[50].begin(), view.m_aLcdTexts[50].begin() + 5)),
              (std::vector<BYTE>{0x32, 0x4F, 0x32, 0x4B, 0x00}));
    EXPECT_EQ(Slot(49), "2M2U2T2E");
    EXPECT_EQ(Slot(46), "");
    EXPECT_EQ(Slot(45), Repeat("2A", 32));  // cut to the slot's 64 bytes
    EXPECT_EQ(view.m_aLcdTexts[45][64], 0);
    EXPECT_EQ(Slot(37), "2H");
    EXPECT_EQ(Slot(0), "2O2N2L2I2N2E");
    EXPECT_EQ(Slot(47), "2C2a2n2'2t2 2F2i2n2d2 2S2k2y2p2e");
    EXPECT_EQ(Slot(12), "");
    EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"), file);  // never rewritten by its own load
}

TEST_F(MenuTextsTest, LanguageFileBecomesTheSettingsCopyWithCrLf) {
    m_dir.Put("setting/MenuSetting.cc", "#MUTE#2Q\r\n");
    // The 99-byte cut splits the CALLING line; its tail starts with a key.
    const std::string calling = "#CALLING#" + Repeat("2C", 45);
    m_dir.Put("Language/English/MenuSetting.cc",
              "#OK#2Y\n"
              "comment, copied only\r\n" +
                  calling + "#ONLINE#2Z\n"
                  "#DND#2W");
    CBridgeView& view = Start();
    LoadMenuTexts(view, L"Language\\English\\MenuSetting.cc");

    EXPECT_EQ(Slot(50), "2Y");
    EXPECT_EQ(Slot(49), "2Q");  // kept from the earlier load
    EXPECT_EQ(Slot(41), Repeat("2C", 32));
    EXPECT_EQ(Slot(0), "2Z");
    EXPECT_EQ(Slot(4), "2W");
    EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"),
              "#OK#2Y\r\ncomment, copied only\r\n" + calling + "#ONLINE#2Z\r\n#DND#2W");

    // A file that cannot be opened changes neither the table nor the copy.
    LoadMenuTexts(view, L"Language\\Nowhere\\MenuSetting.cc");
    EXPECT_EQ(Slot(50), "2Y");
    EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"),
              "#OK#2Y\r\ncomment, copied only\r\n" + calling + "#ONLINE#2Z\r\n#DND#2W");
}

TEST_F(MenuTextsTest, TheCopyNeverTruncatesItsOwnSourceUnderAnotherSpelling) {
    CBridgeView& view = Start();
    m_dir.Put("setting/MenuSetting.cc", "#OK#2V\n");
    LoadMenuTexts(view, L"setting/MenuSetting.cc");
    EXPECT_EQ(Slot(50), "2V");
    EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"), "#OK#2V\r\n");
}

}  // namespace
}  // namespace kovado
