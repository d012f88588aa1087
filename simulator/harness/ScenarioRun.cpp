#include "simulator/harness/ScenarioRun.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Text.h"
#include "simulator/harness/DefaultSettings.h"
#include "simulator/harness/Firmware.h"
#include "simulator/harness/SimBridge.h"

namespace kovado::sim {

namespace {

constexpr WORD kVendor = 0x0E5E;

// The four status icons of the settings folder, with the view's field each
// fills and the name the trace gives it.
struct StatusIcon {
    const wchar_t* file;
    platform::IconHandle handle;
    platform::IconHandle CBridgeView::*field;
    const char* name;
};
const StatusIcon kStatusIcons[] = {
    {L"setting\\allpass.ico", 130, &CBridgeView::m_hIconOk, "allpass"},
    {L"setting\\Skypefail.ico", 131, &CBridgeView::m_hIconSkypeFail, "Skypefail"},
    {L"setting\\SkypeUninstall.ico", 141, &CBridgeView::m_hIconSkypeMissing, "SkypeUninstall"},
    {L"setting\\USBfail.ico", 132, &CBridgeView::m_hIconUsbFail, "USBfail"},
};

std::vector<BYTE> Utf16Value(const std::wstring& text) {
    std::vector<BYTE> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

class ScenarioRun {
public:
    ScenarioRun(const Scenario& scenario, std::filesystem::path dir, TraceSink sink,
                const RunOptions& options)
        : m_scenario(scenario), m_dir(std::move(dir)), m_sink(std::move(sink)), m_options(options) {}

    void Run() {
        m_bridge.emplace(m_scenario.skypeRunning, [this](SimBridge& b) { Prepare(b); });
        CBridgeView& view = *m_bridge->m_view;
        // The scenario decides, over the settings file: still before the loops
        // have run, since this thread has not yet given up its turn.
        view.m_bQuickReply = m_scenario.quickReply ? 1 : 0;
        for (const StatusIcon& icon : kStatusIcons) {
            // Where no icon file gave one, the program's built-in icon stands in.
            if (view.*icon.field == 0) view.*icon.field = icon.handle;
            m_tracer->m_iconNames[view.*icon.field] = icon.name;
        }
        m_tracer->m_modeProbe = [&view] {
            return std::pair<int, int>{view.m_nReplyMode.load(), view.m_nReplySubMode.load()};
        };
        m_bridge->StartLikeProgram();
        std::uint64_t end = m_scenario.EndMs();
        std::uint64_t now = m_bridge->m_sim.Now();
        bool running = now >= end || m_bridge->RunFor(end - now);
        if (m_options.probe) m_options.probe(*m_bridge, m_bridge->m_sim.Now());
        if (running) m_bridge->Exit();
        StopWorld();
        m_bridge.reset();
    }

private:
    // Before the view exists: the world as the scenario describes it.
    void Prepare(SimBridge& b) {
        platform::SimPlatform& sim = b.m_sim;
        sim.m_files.m_baseDir = m_dir;
        m_tracer = std::make_unique<Tracer>(sim, m_sink);
        m_tracer->Attach(b.m_services);
        Tracer* tracer = m_tracer.get();
        sim.m_hid.m_onLostWrite = [tracer](int, const platform::SimHid::Written& written) {
            tracer->OnLost(written);
        };

        if (m_scenario.skypeInstalled)
            sim.m_registry.SetValue(platform::RegRoot::CurrentUser, L"Software\\Skype\\Phone",
                                    L"SkypePath", platform::kRegSz,
                                    Utf16Value(L"C:\\Program Files\\Skype\\Phone\\Skype.exe"));
        if (m_scenario.audioTool != Scenario::AudioTool::Absent) {
            BYTE flag = m_scenario.audioTool == Scenario::AudioTool::Done ? 1 : 0;
            sim.m_registry.SetValue(platform::RegRoot::LocalMachine, L"Software\\KOVADO",
                                    L"Tambrelo", platform::kRegDword, {flag, 0, 0, 0});
        }
        std::vector<platform::SimWaveDevices::Device> inputs;
        for (const std::string& name : m_scenario.waveIn)
            inputs.push_back(platform::SimWaveDevices::Device{FromUtf8(name), true});
        sim.m_wave.SetInputs(std::move(inputs));
        for (const StatusIcon& icon : kStatusIcons) sim.m_tray.AddIconFile(icon.file, icon.handle);

        b.m_skype.m_attachStatuses = m_scenario.attachStatuses;
        b.m_skype.m_rules = [this](const std::string& command) {
            std::vector<std::string> texts;
            for (const auto& [asked, reply] : m_scenario.replies)
                if (asked == command) texts.push_back(reply);
            return texts;
        };
        if (m_scenario.model != kNoHandset) m_nHandset = Plug(sim, m_scenario.model);
        // Older than the bridge's own threads: at the same moment a scenario
        // line goes before the device and supervision loops.
        m_nWorld = sim.m_windows.Start([this, &b] { World(b); });
    }

    // Inserts a handset of the model: one unplugged earlier comes back, or a
    // new one is added after the others.
    int Plug(platform::SimPlatform& sim, WORD model) {
        for (std::size_t i = 0; i < m_firmware.size(); ++i) {
            if (m_firmware[i]->m_nModel == model && !sim.m_hid.At(static_cast<int>(i)).present) {
                sim.m_hid.Plug(static_cast<int>(i));
                return static_cast<int>(i);
            }
        }
        int device = sim.m_hid.AddDevice(kVendor, model);
        auto firmware = std::make_unique<HandsetFirmware>(sim.m_hid, device, model);
        firmware->m_bAckAuto = m_scenario.ackAuto;
        firmware->m_bReadyAuto = m_scenario.readyAuto;
        HandsetFirmware* handset = firmware.get();
        Tracer* tracer = m_tracer.get();
        platform::SimHid::Device& d = sim.m_hid.At(device);
        d.onWrite = [tracer, handset](int, const platform::SimHid::Written& written) {
            tracer->OnWritten(written);
            handset->OnWritten(written);
        };
        d.onRead = [tracer, handset](int, const std::vector<BYTE>& report) {
            tracer->OnDelivered(report);
            handset->OnDelivered(report);
        };
        m_firmware.push_back(std::move(firmware));
        return device;
    }

    // The scenario's timed lines, each at its moment, ties in file order.
    void World(SimBridge& b) {
        std::vector<const ScenarioEvent*> order;
        for (const ScenarioEvent& e : m_scenario.events) order.push_back(&e);
        std::stable_sort(order.begin(), order.end(),
                         [](const auto* x, const auto* y) { return x->atMs < y->atMs; });
        platform::SimScheduler& sched = b.m_sim.m_scheduler;
        std::uint64_t every = m_options.probe ? m_options.probeEveryMs : 0;
        std::uint64_t nextProbe = every;
        std::uint64_t end = m_scenario.EndMs();
        auto waitUntil = [&](std::uint64_t atMs) {
            std::unique_lock<std::mutex> lock(sched.StateLock());
            sched.Wait(
                lock, [this] { return m_bStop; }, atMs);
            return !m_bStop;
        };
        // Probes due by atMs go first; false once the run is being stopped.
        auto probeUntil = [&](std::uint64_t atMs) {
            for (; every > 0 && nextProbe <= atMs && nextProbe < end; nextProbe += every) {
                if (!waitUntil(nextProbe)) return false;
                m_options.probe(b, nextProbe);
            }
            return true;
        };
        for (const ScenarioEvent* e : order) {
            if (!probeUntil(e->atMs) || !waitUntil(e->atMs)) return;
            Apply(b, *e);
        }
        probeUntil(end);
    }

    void Apply(SimBridge& b, const ScenarioEvent& e) {
        platform::SimPlatform& sim = b.m_sim;
        switch (e.kind) {
            case ScenarioEvent::Kind::Skype:
                b.m_skype.Notify(e.text);
                break;
            case ScenarioEvent::Kind::Hid:
                if (m_nHandset >= 0) {
                    std::vector<BYTE> report{0x00};
                    report.insert(report.end(), e.bytes.begin(), e.bytes.end());
                    sim.m_hid.QueueInput(m_nHandset, std::move(report));
                }
                break;
            case ScenarioEvent::Kind::Unplug:
                if (m_nHandset >= 0) sim.m_hid.Unplug(m_nHandset);
                m_nHandset = -1;
                break;
            case ScenarioEvent::Kind::Plug:
                m_nHandset = Plug(sim, e.model);
                break;
            case ScenarioEvent::Kind::Command:
                // As the tray menu delivers a chosen command to the frame.
                sim.m_windows.Post(b.m_hFrame, platform::kWmCommand, e.command, 0);
                break;
            case ScenarioEvent::Kind::Note:
                m_tracer->Emit("note", e.text);
                break;
            case ScenarioEvent::Kind::Fault:
                ApplyFault(b, e);
                break;
        }
    }

    void ApplyFault(SimBridge& b, const ScenarioEvent& e) {
        platform::SimPlatform& sim = b.m_sim;
        const std::string& f = e.text;
        std::uint64_t n = e.numbers.empty() ? 0 : e.numbers[0];
        HandsetFirmware* current =
            m_nHandset >= 0 ? m_firmware[static_cast<std::size_t>(m_nHandset)].get() : nullptr;
        if (f == "skype-stop") {
            b.m_skype.Stop();
        } else if (f == "skype-start") {
            b.m_skype.Start();
        } else if (f == "refuse-sends" || f == "accept-sends") {
            b.m_skype.m_bRefuse = f == "refuse-sends";
        } else if (f == "acks-off" || f == "acks-auto") {
            for (auto& firmware : m_firmware) firmware->m_bAckAuto = f == "acks-auto";
        } else if (f == "lose-ack") {
            if (current) current->m_nLoseAcks = static_cast<int>(n);
        } else if (f == "duplicate-ack") {
            if (current) current->m_bDuplicateAck = true;
        } else if (f == "delay-ack") {
            if (current) current->m_nDelayAckMs = n;
        } else if (f == "write-delay") {
            std::lock_guard<std::mutex> lock(sim.m_scheduler.StateLock());
            for (std::size_t i = 0; i < m_firmware.size(); ++i)
                sim.m_hid.At(static_cast<int>(i)).takeMs = static_cast<std::uint32_t>(n);
        } else if (f == "attach") {
            b.m_skype.m_attachStatuses.assign(e.numbers.begin(), e.numbers.end());
        } else if (f == "calm") {
            // The faults end: the client runs, takes commands and attaches;
            // the handset is plugged in and acknowledges everything at once.
            b.m_skype.Start();
            b.m_skype.m_bRefuse = false;
            b.m_skype.m_attachStatuses = {0};
            for (auto& firmware : m_firmware) {
                firmware->m_bAckAuto = true;
                firmware->m_nLoseAcks = 0;
                firmware->m_bDuplicateAck = false;
                firmware->m_nDelayAckMs = 0;
            }
            {
                std::lock_guard<std::mutex> lock(sim.m_scheduler.StateLock());
                for (std::size_t i = 0; i < m_firmware.size(); ++i)
                    sim.m_hid.At(static_cast<int>(i)).takeMs = 0;
            }
            if (m_nHandset < 0)
                m_nHandset = Plug(sim, m_scenario.model != kNoHandset ? m_scenario.model : 0x6612);
        }
    }

    void StopWorld() {
        platform::SimPlatform& sim = m_bridge->m_sim;
        {
            std::lock_guard<std::mutex> lock(sim.m_scheduler.StateLock());
            m_bStop = true;
        }
        if (m_nWorld >= 0) sim.m_windows.Join(m_nWorld);
        m_nWorld = -1;
    }

    const Scenario& m_scenario;
    std::filesystem::path m_dir;
    TraceSink m_sink;
    const RunOptions& m_options;
    // Declared before the bridge: they outlive the view, which calls into them.
    std::unique_ptr<Tracer> m_tracer;
    std::vector<std::unique_ptr<HandsetFirmware>> m_firmware;  // by device number
    std::optional<SimBridge> m_bridge;
    int m_nHandset = -1;  // the device the scenario's hid lines go to
    platform::ThreadId m_nWorld = -1;
    bool m_bStop = false;  // under the simulation's state lock
};

// A fresh folder under the system's temporary folder, removed with its files.
class FreshFolder {
public:
    FreshFolder() {
        static std::atomic<int> counter{0};
        m_path =
            std::filesystem::temp_directory_path() / ("kovado-sim-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(counter.fetch_add(1)));
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ~FreshFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    FreshFolder(const FreshFolder&) = delete;
    FreshFolder& operator=(const FreshFolder&) = delete;
    std::filesystem::path m_path;
};

}  // namespace

bool RunScenario(const Scenario& scenario, const RunOptions& options, const TraceSink& sink,
                 std::string& error) {
    std::optional<FreshFolder> fresh;
    std::filesystem::path dir = options.settingsDir;
    if (dir.empty()) {
        fresh.emplace();
        dir = fresh->m_path;
        if (!WriteShippedSettings(dir, scenario.debug)) {
            error = dir.string() + ": cannot write the settings folder";
            return false;
        }
    } else if (!std::filesystem::is_directory(dir)) {
        error = dir.string() + ": not a folder";
        return false;
    }
    ScenarioRun(scenario, dir, sink, options).Run();
    return true;
}

bool CanonicalTrace(const Scenario& scenario, const RunOptions& options, std::string& trace,
                    std::string& error) {
    trace.clear();
    return RunScenario(
        scenario, options,
        [&trace](const TraceEvent& event) {
            std::string line = CanonicalLine(event);
            if (!line.empty()) trace += line + "\n";
        },
        error);
}

}  // namespace kovado::sim
