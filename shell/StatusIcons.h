// The four tray icons of the view: each from its file in "setting" when that
// holds an icon, otherwise the built-in one.
#pragma once

namespace kovado {
class CBridgeView;
void LoadStatusIcons(CBridgeView& view);
}  // namespace kovado
