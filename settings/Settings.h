// Built-in defaults, the settings files read at start-up, the language menu
// and the handset's script variant.
//
// The user texts, the handset text table and the current language are guarded
// by the view's m_settingsLock: the loaders and the language switches below
// take it for their whole run; readers (the menu text sender, the tray, the
// About box, the supervision loop) take it while they copy a text.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;
struct ICommandUi;

// Slots of m_arrUserTexts.
enum UserTextIndex : int {
    kTextTipConnected = 0,    // "#Kovado(s)#"
    kTextTipNoSkype = 1,      // "#Can't Find Skype#"
    kTextTipNoHandset = 2,    // "#Can't Find USB Phone#"
    kTextTipNotInstalled = 3, // "#Skype isn't installed#"
    kTextAbout = 4,           // "#About#"
    kTextExit = 5,            // "#Exit#"
    kTextSelectLanguage = 6,  // "#Select Language#"
    kTextProductName = 8,     // "#Kovado(a)#"
};

constexpr BYTE kMaxLanguages = 20;
constexpr BYTE kNoIndex = 0xFF;  // m_nChineseTIndex / m_nChineseSIndex: no such folder
constexpr BYTE kNoVariant = 0xFF;

// Start-up, in this order: defaults, parameters, language list, menu texts
// from "setting\MenuSetting.cc", user texts from "setting\UserSetting.cc".
void ApplyDefaults(CBridgeView& view);
void LoadParameterSettings(CBridgeView& view);
void LoadLanguageList(CBridgeView& view);
void LoadMenuTexts(CBridgeView& view);
void LoadUserTexts(CBridgeView& view);

// Load a menu or user text file over the current texts. A file other than the
// settings copy itself is copied over it, so the next start begins with it.
void LoadMenuTexts(CBridgeView& view, const std::wstring& path);
void LoadUserTexts(CBridgeView& view, const std::wstring& path);

// The language menu: entry i selects language i (ids 200 + i).
void SelectLanguage(CBridgeView& view, BYTE index);
void UpdateLanguageItem(CBridgeView& view, BYTE index, ICommandUi& ui);
void OnLanguageCommand(CBridgeView& view, unsigned id);

// The handset reports the script of its font: 0 traditional, 1 simplified.
void ApplyHandsetVariant(CBridgeView& view, BYTE variant);

// A copy of a user text, taken under the settings lock.
std::wstring UserText(CBridgeView& view, int index);

}  // namespace kovado
