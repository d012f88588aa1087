#include "transport/DeviceWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "bridge/BridgeView.h"
#include "platform/Hid.h"
#include "transport/Codes.h"

namespace kovado {
namespace {

// The text as UTF-16 code units, whatever the width of wchar_t.
std::u16string ToUtf16Units(const std::wstring& text) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t c : text) {
        auto cp = static_cast<std::uint32_t>(c);
        if (cp > 0xFFFF && cp <= 0x10FFFF) {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
    }
    return units;
}

}  // namespace

int QueuedReports(BYTE head, BYTE tail) {
    // Bounded: indices that never meet count as a full queue, which empties it.
    int count = 0;
    for (BYTE i = head; i != tail && count <= CDeviceWriter::kSlots; i = NextQueueIndex(i)) ++count;
    return count;
}

CDeviceWriter::CDeviceWriter(CBridgeView* owner) : m_pOwner(owner) {}

CDeviceWriter::~CDeviceWriter() = default;

BYTE* CDeviceWriter::Claim(BYTE& head, BYTE& tail, std::array<Slot, kSlots>& slots) {
    if (QueuedReports(head, tail) >= kMaxPending) {
        head = tail = kIndexReset;
        return nullptr;
    }
    tail = NextQueueIndex(tail);
    return slots[tail].data();
}

void CDeviceWriter::PushMain(const BYTE* command, BOOL blank) {
    if (!blank && !command) return;
    bool full = false;
    BYTE cutCode = 0;
    bool cut = false;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        BYTE* slot = Claim(m_nMainHead, m_nMainTail, m_aMainSlots);
        if (!slot) {
            full = true;
        } else if (blank) {
            std::fill_n(slot, 4, BYTE{0});
        } else {
            // A length byte that would carry the command past the slot is cut
            // to what the slot holds, never copied beyond it.
            BYTE length = command[1];
            if (length > kMaxMainData) {
                cut = true;
                cutCode = command[0];
                length = kMaxMainData;
            }
            slot[0] = 0x00;
            slot[1] = ReportType::kCommand;
            slot[2] = command[0];
            slot[3] = length;
            std::memcpy(slot + 4, command + 2, length);
        }
    }
    if (full) m_pOwner->WriteLog(L"The Queue is full !!");
    if (cut) {
        wchar_t line[64];
        std::swprintf(line, 64, L"Command %02x cut to %d data bytes", unsigned{cutCode},
                      int{kMaxMainData});
        m_pOwner->WriteLog(line);
    }
}

void CDeviceWriter::PushTalvery(BYTE* command) {
    if (!command) return;
    bool full = false;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        // Under the lock, so that a flush that has just found the queue empty
        // cannot return the state to 0 after this reply was queued.
        m_pOwner->m_nReplyMode = kModeNoReply;
        BYTE* slot = Claim(m_nTalveryHead, m_nTalveryTail, m_aTalverySlots);
        if (!slot) {
            full = true;
        } else {
            if (command[1] > kMaxTalveryData) command[1] = kMaxTalveryData;
            slot[0] = 0x00;
            slot[1] = ReportType::kCommand;
            std::memcpy(slot + 2, command, std::size_t{command[1]} + 2);
        }
    }
    if (full) m_pOwner->WriteLog(L"The Talvery Queue is full !!");
}

void CDeviceWriter::ResetQueues() {
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_nMainHead = m_nMainTail = kIndexReset;
    m_nTalveryHead = m_nTalveryTail = kIndexReset;
}

void CDeviceWriter::FlushQueues() {
    CBridgeView& view = *m_pOwner;
    if (!view.m_bDeviceReady) return;
    for (;;) {
        {
            std::lock_guard<platform::Mutex> lock(m_lock);
            if (m_nMainHead == m_nMainTail) break;
        }
        if (!WriteNextMain()) return;
    }
    if (view.m_nReplyMode != kModeNoReply) return;
    for (;;) {
        {
            std::lock_guard<platform::Mutex> lock(m_lock);
            if (m_nTalveryHead == m_nTalveryTail) {
                // Also when the queue was empty from the start.
                view.m_nReplyMode = kModeIdle;
                break;
            }
        }
        if (!WriteNextTalvery()) return;
    }
}

bool CDeviceWriter::WriteNextMain() {
    return WriteNext(m_nMainHead, m_nMainTail, m_aMainSlots, true);
}

bool CDeviceWriter::WriteNextTalvery() {
    return WriteNext(m_nTalveryHead, m_nTalveryTail, m_aTalverySlots, false);
}

bool CDeviceWriter::WriteNext(BYTE& head, const BYTE& tail, const std::array<Slot, kSlots>& slots,
                              bool pauseBeforeCallEnded) {
    bool pause = false;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        if (head == tail) return false;
        pause = pauseBeforeCallEnded && slots[NextQueueIndex(head)][2] == Cmd::CallEnded;
    }
    // The pause is taken without the lock so that pushes go on meanwhile.
    if (pause) m_pOwner->m_pPlatform->clock->Sleep(kCallEndedPauseMs);
    Slot report;
    bool dropped = false;
    {
        // Supervision closes the handle under the device lock: not during a
        // write. Taken before the writer's lock, which stays the innermost.
        std::lock_guard<platform::Mutex> device(m_pOwner->m_deviceLock);
        // A handset closed since this pass began (unplugged) takes nothing:
        // the report stays queued for the next handset, as while none is open.
        if (m_pOwner->m_hDevice == 0) return false;
        std::lock_guard<platform::Mutex> lock(m_lock);
        if (head == tail) return false;  // emptied during the pause
        head = NextQueueIndex(head);
        report = slots[head];
        dropped = WriteReport(report.data(), 1) == platform::WriteOutcome::Dropped;
    }
    if (dropped)
        LogDropped();
    else
        LogReport(report);
    return true;
}

platform::WriteOutcome CDeviceWriter::WriteReport(const BYTE* report, BOOL resetKeepAlive) {
    CBridgeView& view = *m_pOwner;
    platform::IHid* hid = view.m_pPlatform->hid;
    platform::DeviceHandle device = view.m_hDevice;
    DWORD length = std::min<DWORD>(view.m_nReportLength, kSlotBytes);
    // A report that fails is lost without a retry; one the handset's backlog
    // makes the platform drop is logged.
    platform::WriteOutcome outcome = platform::WriteOutcome::Failed;
    if (hid && device != 0) {
        if (view.m_bCtrlPipe)
            outcome = hid->SetFeature(device, report, length) ? platform::WriteOutcome::Written
                                                              : platform::WriteOutcome::Failed;
        else
            outcome = hid->Write(device, report, length, kWriteTimeoutMs);
    }
    if (outcome == platform::WriteOutcome::Dropped) {
        Slot copy{};
        std::copy_n(report, std::min<DWORD>(length, kSlotBytes), copy.begin());
        m_dropped.push_back(copy);
    }
    if (resetKeepAlive && view.m_bKeepAlive) view.m_nKeepAliveTicks = 0;
    return outcome;
}

void CDeviceWriter::LogDropped() {
    std::vector<Slot> dropped;
    {
        std::lock_guard<platform::Mutex> lock(m_lock);
        dropped.swap(m_dropped);
    }
    for (const Slot& report : dropped) m_pOwner->WriteLog(L"Report dropped: " + Hex(report));
}

std::wstring CDeviceWriter::Hex(const Slot& report) {
    int last = std::min(3 + int{report[3]}, kSlotBytes - 1);
    std::wstring line;
    for (int i = 1; i <= last; ++i) {
        wchar_t hex[3];
        std::swprintf(hex, 3, L"%02x", unsigned{report[static_cast<std::size_t>(i)]});
        line += hex;
    }
    return line;
}

void CDeviceWriter::LogReport(const Slot& report) {
    if (!m_pOwner->m_bDebug || report[3] == 0) return;
    m_pOwner->WriteLog(Hex(report));
}

void CDeviceWriter::SendText(std::wstring text) {
    const std::u16string units = ToUtf16Units(text);
    const std::size_t count = units.size();
    std::size_t sent = 0;
    bool dropped = false;
    // One lock for the whole text keeps its parts together on the wire.
    std::unique_lock<platform::Mutex> lock(m_lock);
    do {
        std::size_t left = count - sent;
        BYTE flag = kTextLast;
        if (sent == 0 && left <= kMaxTalveryData)
            flag = kTextWhole;
        else if (left > kMaxTalveryData)
            flag = kTextPart;
        std::size_t n = std::min<std::size_t>(left, kMaxTalveryData);
        Slot report{};
        report[1] = ReportType::kTextOut;
        report[2] = flag;
        report[3] = static_cast<BYTE>(n);
        // One byte per character: the low 8 bits of its UTF-16 unit.
        for (std::size_t i = 0; i < n; ++i)
            report[4 + i] = static_cast<BYTE>(units[sent + i] & 0xFF);
        if (WriteReport(report.data(), 1) == platform::WriteOutcome::Dropped) dropped = true;
        m_pOwner->m_nReplyMode = kModeIdle;
        sent += n;
    } while (sent < count);
    lock.unlock();
    if (dropped) LogDropped();
}

}  // namespace kovado
