// A scenario for the simulator: how the world looks when the bridge starts
// (handset model, Skype client, registry, sound devices) and what happens
// later at given virtual times (Skype notifications, handset reports, the
// handset plugged or unplugged, tray menu commands).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Types.h"

namespace kovado::sim {

// The product id of the handset model the scenario starts with; 0 is none.
constexpr WORD kNoHandset = 0;

struct ScenarioEvent {
    enum class Kind { Skype, Hid, Unplug, Plug, Command, Note, Fault };
    std::uint64_t atMs = 0;
    Kind kind = Kind::Note;
    std::string text;           // Skype: the notification; Note: the text
    std::vector<BYTE> bytes;    // Hid: from the report type on
    WORD model = 0;             // Plug: the model inserted
    std::uint32_t command = 0;  // Command: the menu command id
    // Fault: its name in text, its numbers here.
    std::vector<std::uint64_t> numbers;
    int line = 0;               // where the scenario says so
};

struct Scenario {
    enum class AudioTool { Pending, Done, Absent };

    WORD model = 0x6612;
    bool skypeInstalled = true;
    bool skypeRunning = true;
    std::vector<std::intptr_t> attachStatuses{0};
    bool ackAuto = true;
    bool readyAuto = true;
    bool debug = false;
    // Quick replies for this run, whatever the settings folder says.
    bool quickReply = false;
    AudioTool audioTool = AudioTool::Pending;
    std::vector<std::string> waveIn;
    // (command, reply) in file order.
    std::vector<std::pair<std::string, std::string>> replies;
    // In file order; the runner takes them in time order, ties in file order.
    std::vector<ScenarioEvent> events;
    std::optional<std::uint64_t> untilMs;

    // The end of the run: until, or 5 s after the last timed line.
    std::uint64_t EndMs() const;
};

// The faults an "at T fault NAME [N...]" line may inject, with how many
// numbers each takes (-1: one or more).
struct FaultKind {
    const char* name;
    int numbers;
};
extern const FaultKind kFaultKinds[];
extern const std::size_t kFaultKindCount;

// Reads a scenario. On failure error holds one line, "NAME:LINE: what".
bool ParseScenario(const std::string& text, const std::string& name, Scenario& out,
                   std::string& error);
bool LoadScenario(const std::string& path, Scenario& out, std::string& error);

}  // namespace kovado::sim
