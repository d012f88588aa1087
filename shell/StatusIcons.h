#pragma once

namespace kovado {
class CBridgeView;
// Loads the four tray icons into the view.
void LoadStatusIcons(CBridgeView& view);
}  // namespace kovado
