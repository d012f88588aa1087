// The transport set-up of each handset model. Discovery runs it before the
// handle is published in m_hDevice, so the device loop never sees a handle
// with the fields of an earlier model.
#include "bridge/BridgeView.h"

namespace kovado {

void CBridgeView::SetModel6611() {
    WriteLog(L"p6611 file");
    m_nProductId = kModel6611;
    m_bKeepAlive = 1;
    m_nReportLength = 49;
    m_bDeviceReady = 1;
    m_bStatusRefresh = 0;
    m_bStatusAnswered = 1;
}

void CBridgeView::SetModel6612() {
    WriteLog(L"p6612 file");
    m_nProductId = kModel6612;
    m_bKeepAlive = 0;
    m_nReportLength = 49;
    m_bDeviceReady = 1;
    m_bStatusRefresh = 0;
    m_bStatusAnswered = 1;
}

// This model takes queued commands only once its status reports make it ready.
void CBridgeView::SetModel6621() {
    WriteLog(L"p6621 file");
    m_nProductId = kModel6621;
    m_bKeepAlive = 0;
    m_nReportLength = 65;
    m_bDeviceReady = 0;
    m_bStatusRefresh = 0;
    m_bStatusAnswered = 1;
    m_nStatusQueryTicks = 0;
}

}  // namespace kovado
