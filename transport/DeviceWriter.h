// The writer of reports to the handset. It frames commands into reports, keeps
// them in two first-in, first-out rings (the main queue for what the program
// says on its own, the Talvery queue for replies to the handset's requests)
// and writes them out; it also sends pass-through text and provides the write
// step of the control reports.
//
// One lock, m_lock, guards the slots, the indices and every write to the
// handset. It is the innermost lock of the program: nothing else is taken and
// no window message (a log line, a Skype command) is sent while it is held.
// A flush takes the view's device lock around each write, outside m_lock.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/Hid.h"
#include "platform/Mutex.h"
#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CDeviceWriter {
public:
    static constexpr int kSlots = 50;
    static constexpr int kSlotBytes = 65;
    // Both indices of a queue after construction and after a reset.
    static constexpr BYTE kIndexReset = 255;
    // A queue keeps one slot free: it holds at most 49 reports.
    static constexpr int kMaxPending = kSlots - 1;
    // Data bytes that fit a slot after report id, type, code and length.
    static constexpr BYTE kMaxMainData = kSlotBytes - 4;
    // Data bytes of a reply; also the characters of one text report.
    static constexpr BYTE kMaxTalveryData = 45;
    // An interrupt write waits at most this long for completion.
    static constexpr std::uint32_t kWriteTimeoutMs = 10;
    // Pause before each CallEnded command of the main queue.
    static constexpr std::uint32_t kCallEndedPauseMs = 50;

    using Slot = std::array<BYTE, kSlotBytes>;

    explicit CDeviceWriter(CBridgeView* owner);
    virtual ~CDeviceWriter();
    CDeviceWriter(const CDeviceWriter&) = delete;
    CDeviceWriter& operator=(const CDeviceWriter&) = delete;

    // Queues a command (code, length, data) on the main queue, or a blank
    // report when blank is set (the command is then not read).
    void PushMain(const BYTE* command, BOOL blank);
    // Sets the conversation state to 3 and queues a reply. Lowers the length
    // byte (command[1]) to 45 in the caller's buffer when it is above.
    void PushTalvery(BYTE* command);
    // Writes the main queue while the handset is open and ready; the Talvery
    // queue too in state 3, which then returns to 0.
    void FlushQueues();
    // Drops whatever both queues hold.
    void ResetQueues();
    // Sends text to the handset at once, as text reports of 45 characters.
    void SendText(std::wstring text);

    // Take the oldest report of one queue and write it. False when nothing
    // was taken: the queue is empty or no handset is open.
    bool WriteNextMain();
    bool WriteNextTalvery();
    // The single write step: a feature report, or an interrupt write waiting at
    // most 10 ms. The caller holds m_lock. resetKeepAlive is set for queued and
    // text reports and clear for control reports. A report the handset's
    // backlog made the platform drop is kept for LogDropped.
    platform::WriteOutcome WriteReport(const BYTE* report, BOOL resetKeepAlive);
    // Logs the reports dropped since the last call ("Report dropped: " and
    // the report as hex). Called without m_lock, after the writes.
    void LogDropped();

    // Fields, in the order of the data model. The completion record and event
    // of interrupt writes live behind platform::IHid::Write.
    BYTE m_nTalveryTail = kIndexReset;
    BYTE m_nTalveryHead = kIndexReset;
    std::array<Slot, kSlots> m_aTalverySlots{};
    BYTE m_nMainTail = kIndexReset;
    BYTE m_nMainHead = kIndexReset;
    std::array<Slot, kSlots> m_aMainSlots{};
    CBridgeView* m_pOwner;

    platform::Mutex m_lock;

private:
    std::vector<Slot> m_dropped;  // under m_lock, until LogDropped
    // Advances the write index and returns its slot, or nullptr when the
    // queue was full (it is then emptied). m_lock held.
    BYTE* Claim(BYTE& head, BYTE& tail, std::array<Slot, kSlots>& slots);
    bool WriteNext(BYTE& head, const BYTE& tail, const std::array<Slot, kSlots>& slots,
                   bool pauseBeforeCallEnded);
    // Logs a written report as hex, without the lock.
    void LogReport(const Slot& report);
    // Type, code, length and data (as far as the slot goes), "%02x" each.
    static std::wstring Hex(const Slot& report);
};

// The successor of a queue index: (i + 1) mod 50 on the byte's value, so the
// successor of 255 (a reset queue) is 6.
constexpr BYTE NextQueueIndex(BYTE i) { return static_cast<BYTE>((i + 1) % CDeviceWriter::kSlots); }
// The number of successor steps from the read index to the write index.
int QueuedReports(BYTE head, BYTE tail);

}  // namespace kovado
