// The handset's status reports: whether it takes queued commands, and its
// answer to the status query. The pauses are taken on the device thread, so
// nothing is read or flushed meanwhile.
#include "bridge/BridgeView.h"
#include "transport/Codes.h"
#include "transport/DeviceReader.h"
#include "transport/DeviceWriter.h"

namespace kovado {

namespace {

// Status 0x02: the first data byte, masked, says ready or gone away.
constexpr BYTE kReadyMask = 0x8F;
constexpr BYTE kReady = 0x00;
constexpr BYTE kReadyToo = 0x08;
constexpr BYTE kGone = 0x80;
constexpr BYTE kGoneToo = 0x88;

// Status 0xAA with this first data byte answers the status query.
constexpr BYTE kQueryAnswer = 0x0F;
constexpr BYTE kLinkDown = 0x00;
constexpr BYTE kNotReady = 0x0F;
constexpr BYTE kLinkUp = 0x2F;
constexpr BYTE kLinkUpNeedsSetup = 0x40;

}  // namespace

void CDeviceReader::OnStatusReport() {
    CBridgeView& view = *m_pOwner;
    const BYTE code = m_aReport[2];
    const BYTE d0 = m_aReport[4];  // bytes past the data are 0 here
    const BYTE d1 = m_aReport[5];
    if (view.m_bDebug) LogHex(m_aReport.data(), 1, 3 + std::size_t{m_aReport[3]});
    platform::IClock& clock = *view.m_pPlatform->clock;

    switch (code) {
        case Status::k01:
            m_nStatusRetries = 0;
            clock.Sleep(kStatusPauseMs);
            if (!view.m_bDeviceReady) view.WriteStatusQuery();
            break;
        case Status::k02: {
            const BYTE masked = d0 & kReadyMask;
            if (masked == kReady || masked == kReadyToo) {
                view.m_bDeviceReady = 1;
            } else if (masked == kGone || masked == kGoneToo) {
                view.m_bDeviceReady = 0;
                m_nStatusRetries = 0;
                view.m_pWriter->ResetQueues();
            } else {
                // Unexpected: asked again, 3 s apart; the fourth in a row empties the queues.
                view.m_bDeviceReady = 0;
                if (m_nStatusRetries <= kMaxStatusRetries) {
                    ++m_nStatusRetries;
                    clock.Sleep(kStatusRetryMs);
                    view.WriteStatusQuery();
                } else {
                    m_nStatusRetries = 0;
                    view.m_pWriter->ResetQueues();
                }
            }
            break;
        }
        case Status::k04:
            view.m_bDeviceReady = 1;
            m_nStatusRetries = 0;
            break;
        case Status::k05:
            view.m_bDeviceReady = 0;
            m_nStatusRetries = 0;
            view.m_pWriter->ResetQueues();
            break;
        case Status::kAA:
            if (d0 != kQueryAnswer) break;
            view.m_bStatusAnswered = 1;
            view.m_nStatusQueryTicks = 0;
            if (d1 == kLinkDown) {
                view.WriteLinkSetup();
                view.m_bDeviceReady = 0;
            } else if (d1 == kNotReady) {
                view.m_bDeviceReady = 0;
            } else if (d1 == kLinkUp) {
                view.m_bDeviceReady = 1;
                m_nStatusRetries = 0;
            } else if (d1 == kLinkUpNeedsSetup) {
                view.WriteLinkSetup();
                view.m_bDeviceReady = 1;
            }
            break;
        default:
            break;
    }
}

}  // namespace kovado
