#include "transport/DeviceReader.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "bridge/BridgeView.h"
#include "bridge/SearchHandler.h"
#include "platform/Hid.h"
#include "transport/Codes.h"

namespace kovado {

namespace {

constexpr BYTE kScrollUp = 0;
constexpr BYTE kScrollDown = 1;
// Every second scroll in a row while busy is still passed to Skype.
constexpr BYTE kScrollsForwarded = 2;
constexpr BYTE kFocusDownSent = 1;
constexpr BYTE kFocusUpSent = 4;

}  // namespace

CDeviceReader::CDeviceReader(CBridgeView* owner) : m_pOwner(owner) { m_events.m_pOwner = owner; }

void CDeviceReader::PollInput() {
    CBridgeView& view = *m_pOwner;
    platform::IClock& clock = *view.m_pPlatform->clock;
    platform::IHid* hid = view.m_pPlatform->hid;
    const std::size_t length = std::min<std::size_t>(view.m_nReportLength, kReportBytes);
    const std::uint64_t started = clock.NowMs();
    using Result = platform::IHid::ReadResult;
    Result result = Result::Nothing;
    if (hid && length >= 4) {
        // Supervision closes the handle under the same lock: never during the read.
        std::lock_guard<platform::Mutex> lock(view.m_deviceLock);
        platform::DeviceHandle device = view.m_hDevice;
        const auto size = static_cast<DWORD>(length);
        if (device != 0 && view.m_bQuickReply)
            result = hid->ReadUntilQueued(device, m_aInput.data(), size, kReadWaitMs);
        else if (device != 0)
            result = hid->Read(device, m_aInput.data(), size, kReadWaitMs) ? Result::Report
                                                                           : Result::Nothing;
    }
    // A report queued for the handset ended the wait: on to the flush.
    if (result == Result::Queued) return;
    if (result != Result::Report) {
        // A read that fails at once (a handset that has gone, not yet closed)
        // is waited out like one that brings nothing, so the loop keeps its pace.
        std::uint64_t waited = clock.NowMs() - started;
        if (waited < kReadWaitMs) clock.Sleep(static_cast<std::uint32_t>(kReadWaitMs - waited));
        return;
    }
    m_aInput[kReportBytes] = 0;

    switch (m_aInput[1]) {
        case ReportType::kEvent:
            OnEventReport(length);
            break;
        case ReportType::kTextIn: {
            BYTE flag = m_aInput[2];
            if (flag > kTextLast || !Fits(3, length)) break;
            BYTE mode = kModeIdle;
            bool accepted = view.m_nReplyMode.compare_exchange_strong(mode, kModeHandsetRequest);
            if (!m_bTextOpen || flag == kTextWhole) {
                if (accepted) OnTextReport();
            } else if (accepted || mode == kModeHandsetRequest) {
                // A later part passes while the text's own request holds the
                // conversation: state 1, or 0 after unrelated traffic between
                // parts (an event accepted meanwhile forgets the text).
                OnTextReport();
            } else {
                // Another exchange holds the conversation: this part is lost,
                // so what the text would send is no longer what was written.
                if (flag == kTextLast) {
                    ForgetText();
                } else {
                    DropOpenText();
                }
            }
            break;
        }
        case ReportType::kDebug:
            OnDebugReport(length);
            break;
        case ReportType::kStatus:
            if (!Fits(3, length)) break;
            view.m_nReplyMode = kModeIdle;
            m_aReport.fill(0);
            std::copy_n(m_aInput.begin(), 4 + m_aInput[3], m_aReport.begin());
            OnStatusReport();
            break;
        case ReportType::kSkypeKey:
            OnSkypeKey();
            break;
        default:
            break;
    }
}

bool CDeviceReader::Fits(std::size_t lengthAt, std::size_t read) const {
    return lengthAt + 1 + m_aInput[lengthAt] <= read;
}

void CDeviceReader::OnEventReport(std::size_t read) {
    CBridgeView& view = *m_pOwner;
    if (!Fits(3, read)) {
        // Data the report does not hold: a request that cannot be trusted.
        if (view.m_bDebug) view.WriteLog(L"Event report longer than the report: dropped");
        return;
    }
    const BYTE code = m_aInput[2];
    const std::size_t size = 4 + std::size_t{m_aInput[3]};
    m_aReport.fill(0);
    std::copy_n(m_aInput.begin(), size, m_aReport.begin());
    m_aInput[0] = 0xFF;  // the buffer is taken
    m_aInput[1] = 0xCC;
    if (view.m_bDebug) LogHex(m_aReport.data(), 1, size - 1);

    if (view.m_hSkypeWnd == 0) {
        m_events.ReplyNoSkype(code);
        return;
    }
    if (code == Evt::Flush) {
        m_events.ReplyFlushDone();
        return;
    }
    BYTE idle = kModeIdle;
    if (view.m_nReplyMode.compare_exchange_strong(idle, kModeHandsetRequest)) {
        // The conversation is this request's now: an unfinished text is
        // forgotten, so its later parts neither pass nor join a later text.
        ForgetText();
        m_aRequest.fill(0);
        std::copy_n(m_aReport.begin(), size, m_aRequest.begin());
        m_events.Dispatch(m_aRequest.data() + 1, m_aRequest.size() - 1);
        return;
    }

    // Another request is in progress: the handset has to ask again.
    m_events.ReplyBusy(code);
    if (code != Evt::Scroll) return;
    // Without data bytes the zeroed byte reads as up, as the dispatcher takes it.
    const BYTE direction = m_aReport[4];
    if (direction != kScrollUp && direction != kScrollDown) return;
    if (++m_nScrollCount < kScrollsForwarded) return;
    m_nScrollCount = 0;
    if (direction == kScrollDown) {
        view.m_pSearchHandler->m_nFocusState = kFocusDownSent;
        view.SendSkypeCommand(L"btn_released down", kModeAwaitReply, 1);
    } else {
        view.m_pSearchHandler->m_nFocusState = kFocusUpSent;
        view.SendSkypeCommand(L"btn_released up", kModeAwaitReply, 1);
    }
}

// Flag, count and bytes 4 onwards of m_aInput; the caller has checked that
// the count fits the report and that the flag is known.
void CDeviceReader::OnTextReport() {
    CBridgeView& view = *m_pOwner;
    const BYTE flag = m_aInput[2];
    const BYTE count = m_aInput[3];
    BYTE* bytes = m_aInput.data() + 4;
    if (flag == kTextWhole) {
        // A whole text starts over: an unfinished one is forgotten.
        ForgetText();
        view.SendSkypeRaw(bytes, count, kModeAwaitReply, 0);
        return;
    }
    if (!m_bTextTooLong && !m_bTextBroken) {
        if (std::size_t{m_nTextLength} + count > kMaxText) {
            m_bTextTooLong = true;
        } else {
            std::copy_n(bytes, count, m_aText.begin() + m_nTextLength);
            m_nTextLength = static_cast<BYTE>(m_nTextLength + count);
        }
    }
    if (flag == kTextPart) {
        m_bTextOpen = true;
        return;
    }
    const bool tooLong = m_bTextTooLong;
    const bool broken = m_bTextBroken;
    const int length = m_nTextLength;
    ForgetText();
    if (!tooLong && !broken) {
        view.SendSkypeRaw(m_aText.data(), length, kModeAwaitReply, 0);
        return;
    }
    // Cut short, a command could do something else than the one written:
    // nothing is sent and the handset may go on.
    view.m_nReplyMode = kModeIdle;
    if (view.m_bDebug)
        view.WriteLog(tooLong ? L"Text from the handset longer than 202 bytes: dropped"
                              : L"Text from the handset missing a part: dropped");
}

void CDeviceReader::ForgetText() {
    m_bTextOpen = false;
    m_bTextTooLong = false;
    m_bTextBroken = false;
    m_nTextLength = 0;
}

void CDeviceReader::DropOpenText() {
    m_bTextBroken = true;
    m_nTextLength = 0;
}

void CDeviceReader::OnDebugReport(std::size_t read) {
    CBridgeView& view = *m_pOwner;
    if (!view.m_bDebug) return;
    // As far as the report goes, whatever its count byte says.
    std::size_t last = std::min<std::size_t>(2 + std::size_t{m_aInput[2]}, read - 1);
    if (last >= 3) LogHex(m_aInput.data(), 3, last);
}

void CDeviceReader::OnSkypeKey() {
    CBridgeView& view = *m_pOwner;
    view.SendSkypeCommand(L"BTN_PRESSED SKYPE", kModeNoReply, 2);
    view.m_pPlatform->clock->Sleep(kSkypeKeyMs);
    view.SendSkypeCommand(L"BTN_RELEASED SKYPE", kModeNoReply, 2);
}

void CDeviceReader::LogHex(const BYTE* report, std::size_t from, std::size_t to) {
    m_strLog.clear();
    for (std::size_t i = from; i <= to; ++i) {
        wchar_t hex[3];
        std::swprintf(hex, 3, L"%02x", unsigned{report[i]});
        m_strLog += hex;
    }
    m_pOwner->WriteLog(m_strLog);
}

}  // namespace kovado
