#include "bridge/BridgeView.h"
#include "transport/Thread.h"

namespace kovado {

void CThread2::Run() {
    while (!StopRequested()) m_pOwner->m_pPlatform->clock->Sleep(1500);
}

}  // namespace kovado
