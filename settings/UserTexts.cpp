#include <mutex>

#include "bridge/BridgeView.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "settings/SettingsPaths.h"
#include "settings/TextLoaders.h"
#include "settings/TextTables.h"
#include "settings/UnicodeSettingsFile.h"

namespace kovado {

void LoadUserTextFile(CBridgeView& view, const std::wstring& path) {
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(view.m_pPlatform->files, path, bytes)) return;
    // Read in full first, so that the copy can never truncate its own source.
    if (path != kUserTextsFile) WriteWholeFile(view.m_pPlatform->files, kUserTextsFile, bytes);
    if (view.m_arrUserTexts.size() < kUserTextSlots) view.m_arrUserTexts.resize(kUserTextSlots);

    for (std::wstring& line : UnicodeSettingsLines(bytes)) {
        for (const UserTextEntry& entry : kUserTexts) {
            if (!Contains(line, entry.key)) continue;
            RemoveAll(line, entry.key);
            view.m_arrUserTexts[entry.index] = line;
            break;
        }
        // The file names its own language in a line "index:folder".
        std::size_t count = std::min<std::size_t>(view.m_nLanguageTitleCount,
                                                  view.m_arrLanguageFolders.size());
        for (std::size_t i = 0; i < count; ++i) {
            if (!EqualsNoCase(line, std::to_wstring(i) + L":" + view.m_arrLanguageFolders[i]))
                continue;
            view.m_nLanguage = static_cast<BYTE>(i);
            view.m_bJapanese = Contains(line, L"Japanese") ? 1 : 0;
            break;
        }
    }
}

void LoadUserTexts(CBridgeView& view, const std::wstring& path) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    LoadUserTextFile(view, path);
}

void LoadUserTexts(CBridgeView& view) { LoadUserTexts(view, kUserTextsFile); }

std::wstring UserText(CBridgeView& view, int index) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    if (index < 0 || static_cast<std::size_t>(index) >= view.m_arrUserTexts.size()) return {};
    return view.m_arrUserTexts[index];
}

}  // namespace kovado
