// The handset text table: built-in texts, the 8-bit menu files read in
// chunks, and the copy a language's file leaves in "setting\MenuSetting.cc".
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
