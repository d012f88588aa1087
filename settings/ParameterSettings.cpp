#include "bridge/BridgeView.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "settings/SettingsPaths.h"
#include "settings/UnicodeSettingsFile.h"

namespace kovado {

namespace {

// Two characters of prefix ("0x", not checked), then four hexadecimal digits
// in either case; anything after them is ignored. A value without four digits
// there leaves the id as it was.
bool ParseHexId(const std::wstring& value, WORD& id) {
    if (value.size() < 6) return false;
    unsigned result = 0;
    for (std::size_t i = 2; i < 6; ++i) {
        wchar_t c = value[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        else return false;
        result = result * 16 + digit;
    }
    id = static_cast<WORD>(result);
    return true;
}

// A switch is set to onMatch when its value is the word (in any case) and to
// the opposite otherwise; an id is read as hexadecimal.
struct ParameterKey {
    const wchar_t* key;
    BOOL* flag;
    const wchar_t* word;
    BOOL onMatch;
    WORD* id;
};

}  // namespace

void LoadParameterSettings(CBridgeView& view) {
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(view.m_pPlatform->files, kParameterSettingsFile, bytes)) return;

    // Tried in this order; the first key found in a line decides.
    const ParameterKey keys[] = {
        {L"#Debug#", &view.m_bDebug, L"enable", 1, nullptr},
        {L"#Handshake#", &view.m_bHandshake, L"disable", 0, nullptr},
        {L"#CTRLpipe#", &view.m_bCtrlPipe, L"disable", 0, nullptr},
        {L"#PID:0X6611#", nullptr, nullptr, 0, &view.m_nPid6611},
        {L"#PID:0X6612#", nullptr, nullptr, 0, &view.m_nPid6612},
        {L"#PID:0X6621#", nullptr, nullptr, 0, &view.m_nPid6621},
        {L"#VID:0X0E5E#", nullptr, nullptr, 0, &view.m_nVendorId},
        {L"#QuickReply#", &view.m_bQuickReply, L"enable", 1, nullptr},
    };
    for (std::wstring& line : UnicodeSettingsLines(bytes)) {
        for (const ParameterKey& key : keys) {
            if (!Contains(line, key.key)) continue;
            RemoveAll(line, key.key);
            if (key.flag)
                *key.flag = EqualsNoCase(line, key.word) ? key.onMatch : !key.onMatch;
            else
                ParseHexId(line, *key.id);
            break;
        }
    }
}

}  // namespace kovado
