// Reports written directly, outside the queues.
#include "bridge/BridgeView.h"

namespace kovado {

void CBridgeView::WriteStatusQuery() { m_bStatusAnswered = 0; }
void CBridgeView::WriteLinkSetupA() {}
void CBridgeView::WriteLinkSetup() {}

}  // namespace kovado
