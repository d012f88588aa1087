// Built-in defaults and the settings files read at start-up.
#pragma once

namespace kovado {
class CBridgeView;

void ApplyDefaults(CBridgeView& view);
void LoadParameterSettings(CBridgeView& view);
void LoadLanguageList(CBridgeView& view);
void LoadMenuTexts(CBridgeView& view);
void LoadUserTexts(CBridgeView& view);
// Menu commands of the language entries.
void OnLanguageCommand(CBridgeView& view, unsigned id);
}  // namespace kovado
