// The menu and user text loaders without locking: the caller holds the view's
// m_settingsLock, so that a whole language switch is one step for readers.
#pragma once
#include <string>

namespace kovado {

class CBridgeView;

void LoadMenuTextFile(CBridgeView& view, const std::wstring& path);
void LoadUserTextFile(CBridgeView& view, const std::wstring& path);
// A language folder's user texts, then its menu texts.
void LoadLanguageFolder(CBridgeView& view, const std::wstring& folder);

}  // namespace kovado
