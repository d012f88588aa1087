// The language list, the user texts, switching languages from the menu and
// following the script the handset reports.
#include "settings/CommandUi.h"
#include "settings/Settings.h"
#include "tests/settings/SettingsFixture.h"

namespace kovado {
namespace {

using test::Unicode;

// English, both Chinese scripts (the simplified folder written in lower case),
// Japanese in its two script folders, and a title whose folder has no files.
class LanguagesTest : public test::SettingsFixture {
protected:
    LanguagesTest() {
        m_dir.Put("setting/Language.ini",
                  Unicode(L"[Titles]\r\n0:English\r\n1:Chinese (Traditional)\r\n"
                          L"2:Chinese (Simplified)\r\n3:Japanese\r\n4:Missing\r\n"
                          L"[File]\r\n0:English\r\n1:ChineseT\r\n2:chineses\r\n3:Japanese\r\n"
                          L"4:Missing\r\n"));
        PutLanguage("English", L"0:English", "2E");
        PutLanguage("ChineseT", L"1:ChineseT", "2T");
        PutLanguage("chineses", L"2:chineses", "2S");
        PutLanguage("JapaneseT", L"3:Japanese", "2J");
        PutLanguage("JapaneseS", L"3:Japanese", "2j");
    }

    void PutLanguage(const std::string& folder, const std::wstring& languageLine,
                     const std::string& ok) {
        std::wstring name(folder.begin(), folder.end());
        m_dir.Put("Language/" + folder + "/UserSetting.cc",
                  Unicode(L"#Exit#Exit " + name + L"\r\n" + languageLine + L"\r\n"));
        m_dir.Put("Language/" + folder + "/MenuSetting.cc", "#OK#" + ok + "\n");
    }

    // Both files of the folder are the current texts and the settings copies.
    void ExpectLanguage(BYTE index, const std::string& folder, const std::string& ok) {
        EXPECT_EQ(m_view->m_nLanguage, index);
        std::wstring name(folder.begin(), folder.end());
        EXPECT_EQ(UserText(*m_view, kTextExit), L"Exit " + name);
        EXPECT_EQ(Slot(50), ok);
        EXPECT_EQ(m_dir.Get("setting/UserSetting.cc"),
                  m_dir.Get("Language/" + folder + "/UserSetting.cc"));
        EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"), "#OK#" + ok + "\r\n");
    }
};

struct ListCase {
    const char* name;
    const wchar_t* ini;  // nullptr: no file
    std::vector<std::wstring> titles, folders;
    BYTE chineseT, chineseS;
};
void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class LanguageListTest : public test::SettingsFixture,
                         public ::testing::WithParamInterface<ListCase> {};

TEST_P(LanguageListTest, ReadsTitlesAndFoldersInOrder) {
    const ListCase& c = GetParam();
    if (c.ini) m_dir.Put("setting/Language.ini", Unicode(c.ini));
    CBridgeView& view = Start();
    ASSERT_EQ(view.m_nLanguageTitleCount, c.titles.size());
    for (std::size_t i = 0; i < c.titles.size(); ++i)
        EXPECT_EQ(view.m_arrLanguageTitles[i], c.titles[i]);
    for (std::size_t i = 0; i < c.folders.size(); ++i)
        EXPECT_EQ(view.m_arrLanguageFolders[i], c.folders[i]);
    EXPECT_EQ(view.m_nChineseTIndex, c.chineseT);
    EXPECT_EQ(view.m_nChineseSIndex, c.chineseS);
}

std::wstring ManyEntries() {
    std::wstring titles = L"[Titles]\r\n", folders = L"[File]\r\n";
    for (int i = 0; i < 22; ++i) {
        titles += std::to_wstring(i) + L":T" + std::to_wstring(i) + L"\r\n";
        folders += std::to_wstring(i) + (i == 21 ? L":ChineseS\r\n" : L":F\r\n");
    }
    return titles + folders;
}
const std::wstring kManyEntries = ManyEntries();

INSTANTIATE_TEST_SUITE_P(
    Table, LanguageListTest,
    ::testing::Values(
        ListCase{"EnglishAndTraditional",
                 L"[Titles]\r\n0:English\r\n1:Chinese (Traditional)\r\n"
                 L"[File]\r\n0:English\r\n1:ChineseT\r\n",
                 {L"English", L"Chinese (Traditional)"}, {L"English", L"ChineseT"}, 1, 0xFF},
        // A line before any section belongs to none; a line without a colon
        // is all value; empty lines are no entries.
        ListCase{"StrayLinesAndEntriesWithoutColon",
                 L"0:Stray\r\n[Titles]\r\n\r\nDeutsch\r\n1:Fran:cais\r\n[File]\r\nDeutsch\r\n"
                 L"CHINESES\r\n",
                 {L"Deutsch", L"Fran:cais"}, {L"Deutsch", L"CHINESES"}, 0xFF, 1},
        ListCase{"TwentyEntriesAtMost", kManyEntries.c_str(),
                 {L"T0", L"T1", L"T2", L"T3", L"T4", L"T5", L"T6", L"T7", L"T8", L"T9", L"T10",
                  L"T11", L"T12", L"T13", L"T14", L"T15", L"T16", L"T17", L"T18", L"T19"},
                 {L"F"}, 0xFF, 0xFF},
        ListCase{"NoFile", nullptr, {}, {}, 0xFF, 0xFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LanguagesTest, StartUpTakesTextsAndLanguageFromTheSettingsCopy) {
    const std::string copy = Unicode(L"#Exit#Quit\r\n2:CHINESES\r\n#Kovado(s)#K\r\n");
    m_dir.Put("setting/UserSetting.cc", copy);
    CBridgeView& view = Start();
    EXPECT_EQ(view.m_nLanguage, 2);
    EXPECT_EQ(view.m_bJapanese, 0);
    EXPECT_EQ(UserText(view, kTextExit), L"Quit");
    EXPECT_EQ(UserText(view, kTextTipConnected), L"K");
    EXPECT_EQ(UserText(view, kTextAbout), L"About");
    EXPECT_EQ(UserText(view, kTextProductName), L"Kovado");
    EXPECT_EQ(m_dir.Get("setting/UserSetting.cc"), copy);
}

TEST_F(LanguagesTest, MenuCommandSelectsAndKeepsALanguage) {
    CBridgeView& view = Start();
    OnLanguageCommand(view, kCmdLanguageFirst + 1);
    ExpectLanguage(1, "ChineseT", "2T");
    OnLanguageCommand(view, kCmdLanguageFirst);
    ExpectLanguage(0, "English", "2E");

    // A language whose files are missing becomes current all the same, but
    // leaves the texts and their copies as they were.
    SelectLanguage(view, 4);
    EXPECT_EQ(view.m_nLanguage, 4);
    EXPECT_EQ(UserText(view, kTextExit), L"Exit English");
    EXPECT_EQ(m_dir.Get("setting/MenuSetting.cc"), "#OK#2E\r\n");
}

TEST_F(LanguagesTest, HandsetScriptSwitchesChineseBothWays) {
    CBridgeView& view = Start();
    SelectLanguage(view, 1);
    ApplyHandsetVariant(view, 1);
    EXPECT_EQ(view.m_nChineseVariant, 1);
    ExpectLanguage(2, "chineses", "2S");
    ApplyHandsetVariant(view, 0);
    EXPECT_EQ(view.m_nChineseVariant, 0);
    ExpectLanguage(1, "ChineseT", "2T");
    ApplyHandsetVariant(view, 0);  // already right: nothing to do
    ExpectLanguage(1, "ChineseT", "2T");
}

TEST_F(LanguagesTest, TraditionalStaysWithoutASimplifiedFolder) {
    m_dir.Put("setting/Language.ini",
              Unicode(L"[Titles]\r\n0:English\r\n1:Chinese\r\n"
                      L"[File]\r\n0:English\r\n1:ChineseT\r\n"));
    CBridgeView& view = Start();
    SelectLanguage(view, 1);
    ApplyHandsetVariant(view, 1);
    ExpectLanguage(1, "ChineseT", "2T");
}

TEST_F(LanguagesTest, JapaneseFollowsTheReportedScript) {
    CBridgeView& view = Start();
    SelectLanguage(view, 3);  // no script reported yet: simplified
    EXPECT_EQ(view.m_bJapanese, 1);
    ExpectLanguage(3, "JapaneseS", "2j");
    ApplyHandsetVariant(view, 0);
    ExpectLanguage(3, "JapaneseT", "2J");
    ApplyHandsetVariant(view, 9);  // no script: nothing changes
    EXPECT_EQ(view.m_nChineseVariant, 0);
    ExpectLanguage(3, "JapaneseT", "2J");
    SelectLanguage(view, 0);
    EXPECT_EQ(view.m_bJapanese, 0);
    ApplyHandsetVariant(view, 1);  // not Japanese any more
    ExpectLanguage(0, "English", "2E");
}

struct RecordingUi : ICommandUi {
    void SetCheck(bool on) override { checked = on; }
    void Enable(bool on) override { enabled = on; }
    bool checked = false, enabled = false;
};

struct ItemCase {
    BYTE variant, index;
    bool enabled;
};

TEST_F(LanguagesTest, ChineseEntriesFollowTheHandsetScript) {
    CBridgeView& view = Start();
    SelectLanguage(view, 1);
    const ItemCase cases[] = {
        {0xFF, 1, true}, {0xFF, 2, true}, {0, 1, true},  {0, 2, false},
        {1, 1, false},   {1, 2, true},    {1, 0, true},  {0, 3, true},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "variant " << int(c.variant) << " entry " << int(c.index));
        view.m_nChineseVariant = c.variant;
        RecordingUi ui;
        UpdateLanguageItem(view, c.index, ui);
        EXPECT_EQ(ui.enabled, c.enabled);
        EXPECT_EQ(ui.checked, c.index == 1);
    }
}

}  // namespace
}  // namespace kovado
