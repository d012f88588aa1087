// The soak's invariant checker: what crosses the wire (from the trace) and
// what the bridge holds (looked at between its steps).
#include <algorithm>
#include <atomic>
#include <mutex>

#include "bridge/BridgeView.h"
#include "display/DisplayRenderer.h"
#include "simulator/harness/ScenarioRun.h"
#include "simulator/harness/SimBridge.h"
#include "simulator/harness/Soak.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado::sim {

namespace {

// A report on the wire: report id and 64 bytes.
constexpr std::size_t kWireBytes = 65;
// A CallEnded the handset never acknowledges is written once and again five times.
constexpr int kCallEndedWrites = 6;

std::atomic<std::uint64_t> g_lockViolations{0};

void OnLockViolation(const char*, int) { g_lockViolations.fetch_add(1); }

bool IsCallCommand(BYTE code) { return code == Cmd::CallState || code == Cmd::CallEnded; }

}  // namespace

std::uint64_t LockViolations() { return g_lockViolations.load(); }
void CountLockViolations() { platform::SetLockViolationHandler(&OnLockViolation); }

SoakChecker::SoakChecker(std::uint64_t calmAtMs, std::uint64_t restWithinMs)
    : m_nCalmAtMs(calmAtMs), m_nRestWithinMs(restWithinMs) {
    m_nLockViolationsSeen = LockViolations();
}

void SoakChecker::Break(std::uint64_t atMs, std::string what, std::uint64_t replayToMs) {
    if (!m_verdict.ok) return;
    m_verdict.ok = false;
    m_verdict.broken = std::move(what);
    m_verdict.brokenAtMs = atMs;
    m_verdict.replayToMs = std::max(atMs, replayToMs);
}

void SoakChecker::Check(bool holds, std::uint64_t atMs, const std::string& what,
                        std::uint64_t replayToMs) {
    ++m_verdict.checks;
    if (!holds) Break(atMs, what, replayToMs);
}

void SoakChecker::OnEvent(const TraceEvent& event) {
    if (event.tag == "hid<") OnWritten(event, true);
    if (event.tag == "hid-lost") OnWritten(event, false);
    if (event.tag == "hid>") OnDelivered(event);
}

void SoakChecker::SettleOpen() {
    for (auto& [bytes, sent] : m_callEnded)
        if (!sent.acknowledged && sent.writes < kCallEndedWrites) sent.settled = true;
}

int SoakChecker::QueuedCopies(const std::vector<BYTE>& command) {
    if (!m_pBridge) return 0;
    CDeviceWriter& writer = *m_pBridge->m_view->m_pWriter;
    std::lock_guard<platform::Mutex> lock(writer.m_lock);
    int copies = 0;
    for (BYTE i = writer.m_nMainHead; i != writer.m_nMainTail;) {
        i = NextQueueIndex(i);
        const CDeviceWriter::Slot& slot = writer.m_aMainSlots[i];
        // A slot: report id, type, then the command.
        if (command.size() + 2 <= slot.size() &&
            std::equal(command.begin(), command.end(), slot.begin() + 2))
            ++copies;
    }
    return copies;
}

void SoakChecker::OnWritten(const TraceEvent& e, bool delivered) {
    const std::vector<BYTE>& r = e.report;  // type, code, length, data
    if (delivered) Check(e.wireBytes <= kWireBytes, e.atMs,
          "a report of " + std::to_string(e.wireBytes) + " bytes: " + e.payload);
    if (r.size() < 3 || r[0] != ReportType::kCommand) return;
    if (delivered) Check(4u + r[2] <= kWireBytes, e.atMs, "a length byte beyond the report: " + e.payload);
    if (delivered && r[1] == Evt::CommandAck && r[2] >= 1 && r.size() > 3 && r[3] != Result::Ok) {
        // The acknowledgement just delivered was not taken: the bridge was
        // busy (the handset sends it again) or is not attached to Skype.
        if (m_nAckPending >= 0) {
            m_callEnded[static_cast<std::size_t>(m_nAckPending)].second.acknowledged = false;
            std::erase_if(m_rewritten, [&](const auto& w) { return w.first == m_nAckPending; });
        }
        m_nAckPending = -1;
        return;
    }
    if (!IsCallCommand(r[1]) || r.size() < 5) return;
    std::vector<BYTE> key(r.begin() + 1, r.end());
    // A newer command about the call takes the place of an older one on the
    // bridge's list: the older one is no longer owed.
    for (auto& [bytes, sent] : m_callEnded)
        if (bytes != key && bytes.size() >= 4 && bytes[3] == key[3] && bytes[4] == key[4])
            sent.settled = true;
    if (r[1] != Cmd::CallEnded) return;
    auto it = std::find_if(m_callEnded.begin(), m_callEnded.end(),
                           [&](const auto& c) { return c.first == key; });
    if (it == m_callEnded.end()) {
        Sent fresh;
        fresh.firstAtMs = e.atMs;
        m_callEnded.push_back({key, fresh});
        it = m_callEnded.end() - 1;
    }
    Sent& sent = it->second;
    int index = static_cast<int>(it - m_callEnded.begin());
    if (sent.acknowledged) {
        // A copy queued before the acknowledgement was taken still goes out.
        if (sent.queuedAtAck > 0)
            --sent.queuedAtAck;
        else
            m_rewritten.emplace_back(index, e.atMs);
    }
    ++sent.writes;
    Check(sent.writes <= kCallEndedWrites, e.atMs,
          "CallEnded written " + std::to_string(sent.writes) + " times: " + e.payload);
}

void SoakChecker::ConfirmAck() {
    m_nAckPending = -1;
    for (const auto& [index, atMs] : m_rewritten)
        Break(atMs, "CallEnded written again after its acknowledgement: " +
                        Hex(m_callEnded[static_cast<std::size_t>(index)].first));
    m_verdict.checks += m_rewritten.size();
    m_rewritten.clear();
}

void SoakChecker::OnDelivered(const TraceEvent& e) {
    ConfirmAck();
    const std::vector<BYTE>& r = e.report;  // type, code, length, echo
    // The handset's flush request and its status reports may empty the queues.
    if (r.size() >= 2 && ((r[0] == ReportType::kEvent && r[1] == Evt::Flush) ||
                          r[0] == ReportType::kStatus))
        SettleOpen();
    if (r.size() < 3 || r[0] != ReportType::kEvent || r[1] != Evt::CommandAck) return;
    std::size_t length = std::min<std::size_t>(r[2], r.size() - 3);
    // The bridge takes a keyed command off its list by code, result and call id.
    if (length < 4 || r[3] != Cmd::CallEnded) return;
    for (std::size_t i = m_callEnded.size(); i-- > 0;) {
        const std::vector<BYTE>& c = m_callEnded[i].first;  // code, length, data
        bool match = true;
        for (std::size_t k = 0; k < length && match; ++k) {
            std::size_t at = k == 0 ? 0 : k + 1;
            match = at < c.size() && c[at] == r[3 + k];
        }
        if (!match) continue;
        if (!m_callEnded[i].second.acknowledged) {
            m_callEnded[i].second.acknowledged = true;
            m_callEnded[i].second.queuedAtAck = QueuedCopies(c);
            m_nAckPending = static_cast<int>(i);
        }
        return;
    }
}

void SoakChecker::Probe(SimBridge& bridge, std::uint64_t nowMs) {
    m_pBridge = &bridge;
    CBridgeView& view = *bridge.m_view;
    CDeviceWriter& writer = *view.m_pWriter;
    int mainQueued, talveryQueued;
    {
        std::lock_guard<platform::Mutex> lock(writer.m_lock);
        mainQueued = QueuedReports(writer.m_nMainHead, writer.m_nMainTail);
        talveryQueued = QueuedReports(writer.m_nTalveryHead, writer.m_nTalveryTail);
    }
    std::size_t keyed, pending;
    {
        std::lock_guard<platform::Mutex> lock(view.m_pRenderer->m_ackLock);
        keyed = view.m_listKeyedAcks.size();
        pending = view.m_listPendingAcks.size();
    }
    int closedWrites;
    {
        std::lock_guard<std::mutex> lock(bridge.m_sim.m_scheduler.StateLock());
        closedWrites = bridge.m_sim.m_hid.m_nWritesToClosed;
    }
    Check(mainQueued <= CDeviceWriter::kMaxPending, nowMs,
          "main queue holds " + std::to_string(mainQueued));
    Check(talveryQueued <= CDeviceWriter::kMaxPending, nowMs,
          "reply queue holds " + std::to_string(talveryQueued));
    // A full queue empties itself: what it held is gone.
    if (mainQueued >= CDeviceWriter::kMaxPending - 4) SettleOpen();
    Check(closedWrites == 0, nowMs, "a report written to a closed handset");
    Check(LockViolations() == m_nLockViolationsSeen, nowMs,
          "a lock held while a window message was sent");

    const std::pair<const char*, std::size_t> lists[] = {
        {"keyed acknowledgements", keyed},
        {"pending acknowledgements", pending},
        {"calls", view.m_listCalls.size()},
        {"contacts", view.m_arrContacts.size()},
        {"history call ids", static_cast<std::size_t>(std::max(view.m_nCallIdCount, 0))},
        {"missed call ids", static_cast<std::size_t>(std::max(view.m_nMissedCallIdCount, 0))},
        {"notification text", view.m_strNotification.size()},
    };
    if (!m_bProbed) {
        for (const auto& [name, size] : lists) m_verdict.lists.push_back({name, size, size, size});
        m_bProbed = true;
    }
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        ListGrowth& g = m_verdict.lists[i];
        g.last = lists[i].second;
        g.peak = std::max(g.peak, g.last);
    }

    if (m_nCalmAtMs == 0 || nowMs < m_nCalmAtMs || m_verdict.restAtMs != 0) return;
    std::string unrest;
    if (view.m_hSkypeWnd == 0) unrest += ", not attached";
    if (view.UserHandle().empty()) unrest += ", no user handle";
    if (view.m_hDevice == 0) unrest += ", no handset open";
    if (view.m_nReplyMode != kModeIdle)
        unrest += ", conversation state " + std::to_string(int{view.m_nReplyMode});
    if (mainQueued + talveryQueued > 0)
        unrest += ", " + std::to_string(mainQueued + talveryQueued) + " reports queued";
    if (keyed + pending > 0)
        unrest += ", " + std::to_string(keyed + pending) + " acknowledgements awaited";
    if (unrest.empty()) {
        m_verdict.restAtMs = nowMs;
        return;
    }
    if (nowMs >= m_nCalmAtMs + m_nRestWithinMs)
        Break(nowMs, "not at rest " + std::to_string(m_nRestWithinMs) +
                         " ms after the faults stopped" + unrest);
}

void SoakChecker::Finish(std::uint64_t endMs) {
    ConfirmAck();
    if (m_nCalmAtMs != 0 && m_verdict.restAtMs == 0)
        Break(endMs, "never at rest after the faults stopped");
    for (const auto& [bytes, sent] : m_callEnded) {
        if (sent.acknowledged || sent.settled) continue;
        Check(sent.writes == kCallEndedWrites, sent.firstAtMs,
              "CallEnded neither acknowledged nor written six times (" +
                  std::to_string(sent.writes) + "): " + Hex(bytes),
              endMs);
    }
}

SoakVerdict CheckScenario(const Scenario& scenario, std::uint64_t restWithinMs,
                          std::uint64_t probeEveryMs, std::string& error) {
    std::uint64_t calmAt = 0;
    for (const ScenarioEvent& e : scenario.events)
        if (e.kind == ScenarioEvent::Kind::Fault && e.text == "calm") calmAt = e.atMs;
    CountLockViolations();
    SoakChecker checker(calmAt, restWithinMs);
    RunOptions options;
    options.probeEveryMs = probeEveryMs;
    std::uint64_t lastAt = 0;
    options.probe = [&](SimBridge& bridge, std::uint64_t now) {
        checker.Probe(bridge, now);
        lastAt = now;
    };
    if (!RunScenario(
            scenario, options,
            [&](const TraceEvent& event) {
                checker.OnEvent(event);
                lastAt = std::max(lastAt, event.atMs);
            },
            error)) {
        SoakVerdict failed;
        failed.ok = false;
        failed.broken = error;
        return failed;
    }
    checker.Finish(lastAt);
    return checker.m_verdict;
}

std::string ReplayScenario(const std::string& life, const SoakVerdict& verdict, std::uint64_t seed,
                           double hours) {
    char head[160];
    std::snprintf(head, sizeof head, "# kovado-sim soak --seed %llu --hours %g: at %llu ms, ",
                  static_cast<unsigned long long>(seed), hours,
                  static_cast<unsigned long long>(verdict.brokenAtMs));
    std::string out = head + verdict.broken + "\n";
    std::uint64_t cut = verdict.replayToMs;
    std::size_t start = 0;
    while (start < life.size()) {
        std::size_t end = life.find('\n', start);
        if (end == std::string::npos) end = life.size();
        std::string line = life.substr(start, end - start);
        start = end + 1;
        if (line.rfind("until ", 0) == 0) continue;
        if (line.rfind("at ", 0) == 0 && std::stoull(line.substr(3)) > cut) continue;
        out += line + "\n";
    }
    out += "until " + std::to_string(cut + 1000) + "\n";
    return out;
}

}  // namespace kovado::sim
