#include <algorithm>
#include <mutex>
#include <string_view>

#include "bridge/BridgeView.h"
#include "platform/Files.h"
#include "settings/Settings.h"
#include "settings/SettingsPaths.h"
#include "settings/TextLoaders.h"
#include "settings/TextTables.h"

namespace kovado {

namespace {

// Menu files are read as the original text-mode reads did: at most 99 bytes at
// a time, so a longer line is handled as several.
constexpr std::size_t kMenuLineChunk = 99;

// A line that begins with a key sets that key's slot to the rest of the line.
// A value longer than a slot holds is cut to its first 64 bytes (an even count,
// so whole cell pairs stay whole).
void StoreMenuLine(CBridgeView& view, std::string_view line) {
    for (const MenuTextEntry& entry : kMenuTexts) {
        std::string_view key(entry.key);
        if (line.substr(0, key.size()) != key) continue;
        std::string_view value = line.substr(key.size(), kLcdTextMax);
        auto& slot = view.m_aLcdTexts[entry.slot];
        slot.fill(0);
        std::copy(value.begin(), value.end(), slot.begin());
        return;
    }
}

}  // namespace

void LoadMenuTextFile(CBridgeView& view, const std::wstring& path) {
    platform::IFiles* files = view.m_pPlatform->files;
    if (!files) return;
    platform::FileHandle in = files->Open(path, platform::FileAccess::Read);
    if (!in) return;
    // The whole file is read before the copy is opened: a path that names the
    // settings copy in another spelling must not be truncated before it is read.
    std::vector<std::string> lines;
    std::string chunk;
    while (files->ReadLine(in, chunk, kMenuLineChunk)) lines.push_back(chunk);
    files->Close(in);

    platform::FileHandle copy =
        path == kMenuTextsFile ? 0 : files->Open(kMenuTextsFile, platform::FileAccess::Write);
    for (std::string& line : lines) {
        bool ended = line.back() == '\n';
        if (ended) line.pop_back();
        StoreMenuLine(view, line);
        if (copy) {
            files->Write(copy, line.data(), line.size());
            if (ended) files->Write(copy, "\r\n", 2);
        }
    }
    if (copy) files->Close(copy);
}

void LoadMenuTexts(CBridgeView& view, const std::wstring& path) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    LoadMenuTextFile(view, path);
}

void LoadMenuTexts(CBridgeView& view) { LoadMenuTexts(view, kMenuTextsFile); }

}  // namespace kovado
