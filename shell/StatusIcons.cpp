#include "shell/StatusIcons.h"

#include "bridge/BridgeView.h"

namespace kovado {
void LoadStatusIcons(CBridgeView&) {}
}  // namespace kovado
