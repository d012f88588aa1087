#include <mutex>

#include "bridge/BridgeView.h"
#include "platform/Text.h"
#include "settings/CommandUi.h"
#include "settings/Settings.h"
#include "settings/SettingsPaths.h"
#include "settings/TextLoaders.h"
#include "settings/UnicodeSettingsFile.h"

namespace kovado {

namespace {

const std::wstring& FolderOf(CBridgeView& view, BYTE index) {
    static const std::wstring none;
    return index < view.m_arrLanguageFolders.size() ? view.m_arrLanguageFolders[index] : none;
}

// Japanese is listed once but ships in a folder per script.
void LoadJapanese(CBridgeView& view) {
    LoadLanguageFolder(view, view.m_nChineseVariant == 0 ? L"JapaneseT" : L"JapaneseS");
}

void SwitchLanguage(CBridgeView& view, BYTE index) {
    view.m_nLanguage = index;
    LoadLanguageFolder(view, FolderOf(view, index));
}

}  // namespace

void LoadLanguageFolder(CBridgeView& view, const std::wstring& folder) {
    if (folder.empty()) return;  // a title without a folder has no files
    LoadUserTextFile(view, kLanguageFolder + folder + kLanguageUserTexts);
    LoadMenuTextFile(view, kLanguageFolder + folder + kLanguageMenuTexts);
}

void LoadLanguageList(CBridgeView& view) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    view.m_nChineseTIndex = kNoIndex;
    view.m_nChineseSIndex = kNoIndex;
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(view.m_pPlatform->files, kLanguageListFile, bytes)) return;
    view.m_nLanguageTitleCount = 0;
    view.m_arrLanguageTitles.resize(kMaxLanguages);
    view.m_arrLanguageFolders.resize(kMaxLanguages);

    // Lines before the first section header belong to no section and are
    // skipped, as are entries beyond the twentieth of a section.
    enum class Section { None, Titles, Folders } section = Section::None;
    BYTE folder = 0;
    for (const std::wstring& line : UnicodeSettingsLines(bytes)) {
        if (Contains(line, L"[Titles]")) {
            section = Section::Titles;
            continue;
        }
        if (Contains(line, L"[File]")) {
            section = Section::Folders;
            folder = 0;
            continue;
        }
        if (line.empty() || section == Section::None) continue;
        std::size_t colon = line.find(L':');
        std::wstring value = colon == std::wstring::npos ? line : line.substr(colon + 1);
        if (section == Section::Titles) {
            if (view.m_nLanguageTitleCount >= kMaxLanguages) continue;
            view.m_arrLanguageTitles[view.m_nLanguageTitleCount++] = value;
        } else {
            if (folder >= kMaxLanguages) continue;
            if (EqualsNoCase(value, L"ChineseS")) view.m_nChineseSIndex = folder;
            else if (EqualsNoCase(value, L"ChineseT")) view.m_nChineseTIndex = folder;
            view.m_arrLanguageFolders[folder++] = value;
        }
    }
}

void SelectLanguage(CBridgeView& view, BYTE index) {
    if (index >= kMaxLanguages) return;
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    view.m_nLanguage = index;
    if (EqualsNoCase(FolderOf(view, index), L"Japanese"))
        LoadJapanese(view);
    else
        LoadLanguageFolder(view, FolderOf(view, index));
}

void UpdateLanguageItem(CBridgeView& view, BYTE index, ICommandUi& ui) {
    bool checked = false;
    bool enabled = true;
    {
        std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
        checked = view.m_nLanguage == index;
        // A Chinese script the handset's font lacks cannot be chosen.
        const std::wstring& folder = FolderOf(view, index);
        if (EqualsNoCase(folder, L"ChineseS"))
            enabled = view.m_nChineseVariant != 0;
        else if (EqualsNoCase(folder, L"ChineseT"))
            enabled = view.m_nChineseVariant != 1;
    }
    ui.SetCheck(checked);
    ui.Enable(enabled);
}

void OnLanguageCommand(CBridgeView& view, unsigned id) {
    if (id >= kCmdLanguageFirst && id <= kCmdLanguageLast)
        SelectLanguage(view, static_cast<BYTE>(id - kCmdLanguageFirst));
}

void ApplyHandsetVariant(CBridgeView& view, BYTE variant) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    if (variant == 0 || variant == 1) {
        view.m_nChineseVariant = variant;
        if (view.m_bJapanese) LoadJapanese(view);
    }
    // Keep Chinese in the script the handset can show.
    if (view.m_nChineseVariant != 0) {
        if (view.m_nLanguage == view.m_nChineseTIndex && view.m_nChineseSIndex != kNoIndex)
            SwitchLanguage(view, view.m_nChineseSIndex);
    } else {
        if (view.m_nLanguage == view.m_nChineseSIndex && view.m_nChineseTIndex != kNoIndex)
            SwitchLanguage(view, view.m_nChineseTIndex);
    }
}

}  // namespace kovado
