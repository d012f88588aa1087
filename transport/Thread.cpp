#include "transport/Thread.h"

#include "bridge/BridgeView.h"

namespace kovado {

void CWorkerThread::Start() {
    m_nThread = m_pOwner->m_pPlatform->threads->Start([this] { Run(); });
}

void CWorkerThread::Stop() {
    if (m_nThread < 0) return;
    m_bStop.store(true);
    m_pOwner->m_pPlatform->threads->Join(m_nThread);
    m_nThread = -1;
}

void CThread::Run() {
    while (!StopRequested()) m_pOwner->m_pPlatform->clock->Sleep(1000);
}

}  // namespace kovado
