// The simulator's trace: one event for everything that crosses the bridge's
// edges (Skype commands and notifications, discover and attach, reports to
// and from the handset, the tray, program starts, debug log lines), taken
// where the bridge meets its services, so the core knows nothing of it.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimPlatform.h"

namespace kovado::sim {

struct TraceEvent {
    std::uint64_t atMs = 0;
    // skype< skype> discover attach hid> hid< tray exec log; outside the
    // canonical trace, note for the scenario's own remarks and hid-lost for a
    // report a write took but never delivered.
    std::string tag;
    std::string payload;       // the canonical text after the tag
    std::vector<BYTE> report;  // hid lines: the bytes shown, from the report type on
    std::size_t wireBytes = 0;  // hid<: the whole report as written, report id included
};

using TraceSink = std::function<void(const TraceEvent&)>;

// "T tag payload", without a line end; empty for events outside the
// canonical trace.
std::string CanonicalLine(const TraceEvent& event);
// Upper-case two-digit bytes separated by single spaces.
std::string Hex(const std::vector<BYTE>& bytes);
// The meaningful bytes of a report written to the handset: from the report
// type through the data its length byte announces (a blank report is 00 00 00).
std::vector<BYTE> WrittenBytes(const std::vector<BYTE>& report);

class Tracer {
public:
    Tracer(platform::SimPlatform& sim, TraceSink sink);
    ~Tracer();

    // Wraps the window system and the tray of services and hooks program
    // starts; to be done before the view is constructed.
    void Attach(platform::Services& services);

    void Emit(std::string tag, std::string payload, std::vector<BYTE> report = {},
              std::size_t wireBytes = 0);
    // Report hooks, for the handset devices.
    void OnWritten(const platform::SimHid::Written& written);
    void OnDelivered(const std::vector<BYTE>& report);
    void OnLost(const platform::SimHid::Written& written);

    // The bridge's conversation state (reply mode, sub-mode) as it stands.
    std::function<std::pair<int, int>()> m_modeProbe;
    // Icon handles by the name of their icon file.
    std::map<platform::IconHandle, std::string> m_iconNames;

    platform::SimPlatform& m_sim;

private:
    class Windows;
    class Tray;
    TraceSink m_sink;
    std::unique_ptr<Windows> m_windows;
    std::unique_ptr<Tray> m_tray;
};

}  // namespace kovado::sim
