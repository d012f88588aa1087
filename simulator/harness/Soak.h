// The soak: a long, random but seeded life of the whole bridge (calls,
// browsing, pictures, status and menu changes) with injected faults (handsets
// unplugged and swapped, Skype gone, attach refused, sends refused,
// acknowledgements lost, doubled or late, slow writes, malformed input),
// watched by an invariant checker, and a calm phase at the end in which the
// bridge must come back to rest.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/harness/Scenario.h"
#include "simulator/harness/Trace.h"

namespace kovado::sim {

class SimBridge;

// The generated life of one seed, as a scenario file: it replays with
// "kovado-sim run". The faults stop at the "calm" line, lifeMs after the
// start; the scenario ends calmMs later.
struct SoakLife {
    std::string text;
    std::uint64_t calmAtMs = 0;
    int calls = 0;
};
SoakLife GenerateSoakLife(std::uint64_t seed, std::uint64_t lifeMs, std::uint64_t calmMs);

// How far one of the bridge's lists grew over the run.
struct ListGrowth {
    std::string name;
    std::size_t first = 0;  // at the first look
    std::size_t last = 0;   // at the end
    std::size_t peak = 0;
};

struct SoakVerdict {
    bool ok = true;
    std::string broken;  // the first broken invariant
    std::uint64_t brokenAtMs = 0;
    std::uint64_t replayToMs = 0;  // how far a replay must run to show it
    std::uint64_t checks = 0;  // invariant evaluations
    std::uint64_t restAtMs = 0;  // when the calm phase found the bridge at rest
    std::vector<ListGrowth> lists;
};

// Watches one run: every trace event and the bridge's state at each probe.
class SoakChecker {
public:
    // calmAtMs: the moment the faults stop (0: no calm phase is checked);
    // restWithinMs: how long the bridge may take to come to rest after it.
    SoakChecker(std::uint64_t calmAtMs, std::uint64_t restWithinMs);

    void OnEvent(const TraceEvent& event);
    void Probe(SimBridge& bridge, std::uint64_t nowMs);
    // After the run: what is left open at its end.
    void Finish(std::uint64_t endMs);

    SoakVerdict m_verdict;

private:
    struct Sent {
        int writes = 0;  // taken by a write, delivered or lost
        int queuedAtAck = 0;  // copies already queued when the acknowledgement was taken
        bool acknowledged = false;
        // Not owed any more: replaced by a newer command about the call, or
        // dropped with the queues (a reset asked by the handset, a full queue).
        bool settled = false;
        std::uint64_t firstAtMs = 0;
    };
    void Break(std::uint64_t atMs, std::string what, std::uint64_t replayToMs = 0);
    void Check(bool holds, std::uint64_t atMs, const std::string& what,
               std::uint64_t replayToMs = 0);
    void OnWritten(const TraceEvent& event, bool delivered);
    void SettleOpen();
    int QueuedCopies(const std::vector<BYTE>& command);
    void OnDelivered(const TraceEvent& event);
    void ConfirmAck();

    std::uint64_t m_nCalmAtMs;
    std::uint64_t m_nRestWithinMs;
    // CallEnded commands by their bytes (code, length, data).
    std::vector<std::pair<std::vector<BYTE>, Sent>> m_callEnded;
    // The CallEnded acknowledgement delivered last: a refusal (Busy, no Skype)
    // before the next report from the handset means the bridge did not take it.
    int m_nAckPending = -1;
    // A CallEnded written after its acknowledgement, unless a refusal follows.
    std::vector<std::pair<int, std::uint64_t>> m_rewritten;
    bool m_bProbed = false;
    SimBridge* m_pBridge = nullptr;  // known from the first probe on
    std::uint64_t m_nLockViolationsSeen = 0;
};

struct SoakOptions {
    std::uint64_t seed = 1;
    double hours = 1;
    std::uint64_t calmMs = 60000;    // the calm phase at the end
    std::uint64_t restWithinMs = 30000;  // the bridge is at rest this long after the calm begins
    std::uint64_t probeEveryMs = 250;
};

// Runs a scenario under the checker; calmAtMs from its "calm" line, if any.
SoakVerdict CheckScenario(const Scenario& scenario, std::uint64_t restWithinMs,
                          std::uint64_t probeEveryMs, std::string& error);

// The scenario that replays a failure: the life up to the broken invariant,
// then one more second.
std::string ReplayScenario(const std::string& life, const SoakVerdict& verdict,
                           std::uint64_t seed, double hours);

// The number of times a lock of the core was found held at a window message
// since the process started (debug builds; always 0 in release builds).
std::uint64_t LockViolations();
// Installs the handler that counts them instead of aborting.
void CountLockViolations();

}  // namespace kovado::sim
