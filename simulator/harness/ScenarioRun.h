// Runs a scenario: the world it describes is set up, the bridge starts as the
// program does, the timed lines happen at their moments on a thread of their
// own, and at the end the bridge shuts down as on Exit.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "simulator/harness/Scenario.h"
#include "simulator/harness/Trace.h"

namespace kovado::sim {

class SimBridge;

struct RunOptions {
    // The bridge's current directory, holding "setting" and "Language".
    // Empty: a fresh temporary folder with the shipped settings, removed after
    // the run; only then does the scenario's debug line take effect.
    std::filesystem::path settingsDir;
    // Looks at the bridge as it stands: on the scenario's thread every
    // probeEveryMs of virtual time (every other thread waits meanwhile), and
    // once more at the end, before the shutdown.
    std::function<void(SimBridge& bridge, std::uint64_t nowMs)> probe;
    std::uint64_t probeEveryMs = 0;
};

// Every trace event goes to sink, in the order it happens. false with a
// one-line error when the settings folder cannot be made.
bool RunScenario(const Scenario& scenario, const RunOptions& options, const TraceSink& sink,
                 std::string& error);

// The canonical trace, one line per event, each ending in a line feed.
bool CanonicalTrace(const Scenario& scenario, const RunOptions& options, std::string& trace,
                    std::string& error);

}  // namespace kovado::sim
