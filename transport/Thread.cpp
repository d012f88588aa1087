#include "transport/Thread.h"

#include "bridge/BridgeView.h"
#include "platform/Hid.h"
#include "transport/DeviceReader.h"
#include "transport/DeviceWriter.h"

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

namespace {
constexpr std::uint32_t kPassPauseMs = 5;
constexpr std::uint32_t kIdleMs = 1000;
}  // namespace

// The device loop. A reply queued while a request is handled goes out in the
// flush right after it; a queued command waits at most about one pass. The
// reads and queued writes hold the view's device lock, so supervision never
// closes the handle in the middle of one; Skype commands and log lines are
// sent without it.
//
// With quick replies on, a push during the read wait ends it, and the pass
// goes on as after a timeout. Each flush first drops the queue signal: what
// was queued before it, the flush takes; only later pushes need to end a wait.
void CThread::Run() {
    CBridgeView& view = *m_pOwner;
    platform::IClock& clock = *view.m_pPlatform->clock;
    platform::IHid* quick = view.m_bQuickReply ? view.m_pPlatform->hid : nullptr;
    auto flush = [&] {
        if (quick) quick->ClearQueued();
        view.m_pWriter->FlushQueues();
    };
    while (!StopRequested()) {
        if (view.m_hDevice == 0) {
            clock.Sleep(kIdleMs);
            continue;
        }
        clock.Sleep(kPassPauseMs);
        flush();
        view.m_pReader->PollInput();
        flush();
        view.RequestUserHandle();
    }
}

}  // namespace kovado
