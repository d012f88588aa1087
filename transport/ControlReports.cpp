// Control reports, written directly to the handset outside the two queues so
// that they also go out while it is not ready. Each is built in the view's
// m_aDirectReport and written under the writer's lock; the log line follows
// after the lock is released, and a line for a report that had to be dropped.
#include <algorithm>
#include <initializer_list>
#include <mutex>

#include "bridge/BridgeView.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

// Sets the leading bytes of m_aDirectReport (the rest keeps what an earlier
// report left), writes it without the keep-alive step and ends any request
// exchange in progress. The writer's lock is held.
void WriteDirect(CBridgeView& view, std::initializer_list<BYTE> bytes) {
    std::copy(bytes.begin(), bytes.end(), view.m_aDirectReport.begin());
    view.m_pWriter->WriteReport(view.m_aDirectReport.data(), 0);
    view.m_nReplyMode = kModeIdle;
}

}  // namespace

void CBridgeView::WriteStatusQuery() {
    {
        std::lock_guard<platform::Mutex> lock(m_pWriter->m_lock);
        m_bStatusAnswered = 0;
        WriteDirect(*this, {0x00, Control::StatusQueryType, Control::StatusQuery, 0x00});
    }
    WriteLog(L"080F00");
    m_pWriter->LogDropped();
}

void CBridgeView::WriteLinkSetupA() {
    {
        std::lock_guard<platform::Mutex> lock(m_pWriter->m_lock);
        WriteDirect(*this, {0x00, Control::LinkSetupAType, Control::LinkSetupA, 0x04, 0x01, 0x03,
                            0x0C, 0x00});
    }
    WriteLog(L"0C000401030C00");
    m_pWriter->LogDropped();
}

void CBridgeView::WriteLinkSetup() {
    WriteLinkSetupA();
    // The handset needs time between the two reports; writes go on meanwhile.
    m_pPlatform->clock->Sleep(300);
    {
        std::lock_guard<platform::Mutex> lock(m_pWriter->m_lock);
        WriteDirect(*this, {0x00, Control::LinkSetupBType, Control::LinkSetupB, 0x02, 0x01, 0x41});
    }
    WriteLog(L"0841020141");
    m_pWriter->LogDropped();
}

}  // namespace kovado
