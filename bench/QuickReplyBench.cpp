// How long a reply that waits for Skype takes from Skype to the handset's
// wire, with quick replies off and on: the caller's name of an incoming call,
// the contacts after "USERS", a contact's status, and a history picture (its
// ready report, and the whole chain with the eight chunks the handset fetches
// at once). Skype's replies come at random phases of the device loop.
//
// Twice: in the simulation (virtual time, the whole program with supervision)
// and on the POSIX backend (real threads and clock; the handset and the Skype
// client are simulated in the process, the handset opened directly). Then the
// cost of being idle: turns passed between threads in a simulated hour, and
// wakeups (context switches) and CPU time of a real idle run, scaled to an hour.
//
//   kovado_bench --benchmark_filter=QuickReply
// prints the tables; the figures are also the benchmarks' counters.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/sim/SimHid.h"
#include "platform/sim/SimSkype.h"
#include "simulator/harness/Firmware.h"
#include "simulator/harness/SimBridge.h"

namespace kovado {
namespace {

constexpr WORD kVendor = 0x0E5E;
constexpr std::uint32_t kLoopPassMs = 305;

enum Kind { kCallerName, kContacts, kContactStatus, kHistoryReady, kHistoryChain, kKinds };
const char* const kKindNames[kKinds] = {"caller's name", "contacts after USERS",
                                        "contact's status", "history picture ready",
                                        "history chain, 8 chunks"};
const char* const kKindKeys[kKinds] = {"caller", "contacts", "status", "picture", "chain"};

struct Figures {
    double p50 = 0, p99 = 0, max = 0;
    std::size_t samples = 0;
};

Figures Summarise(std::vector<double> values) {
    Figures f;
    f.samples = values.size();
    if (values.empty()) return f;
    std::sort(values.begin(), values.end());
    auto at = [&](double q) {
        std::size_t i = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
        return values[std::min(i, values.size() - 1)];
    };
    f.p50 = at(0.50);
    f.p99 = at(0.99);
    f.max = values.back();
    return f;
}

// A settings folder whose parameter file switches quick replies on or off.
class SettingsFolder {
public:
    explicit SettingsFolder(bool quick) {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("kovado-bench-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path / "setting");
        std::string bytes = "\xFF\xFE";
        for (char c : std::string("#QuickReply#") + (quick ? "enable" : "disable") + "\r\n") {
            bytes.push_back(c);
            bytes.push_back('\0');
        }
        std::ofstream(m_path / "setting" / "ParameterSetting.cc", std::ios::binary) << bytes;
    }
    ~SettingsFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::filesystem::path m_path;
};

// What both worlds record: when Skype sent each text, and when each report
// reached the wire, in milliseconds of the world's own clock.
class Recorder {
public:
    explicit Recorder(std::function<double()> now) : m_now(std::move(now)) {}

    void Sent(const std::string& text) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_sent.push_back({m_now(), text});
    }
    void Written(const std::vector<BYTE>& bytes) {
        double at = m_now();
        std::function<void(const std::vector<BYTE>&)> react;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_written.push_back({at, bytes});
            react = m_react;
        }
        if (react) react(bytes);
    }
    // The first text sent since mark that starts with prefix.
    std::optional<double> SentAt(std::size_t mark, const std::string& prefix) {
        std::lock_guard<std::mutex> lock(m_lock);
        for (std::size_t i = mark; i < m_sent.size(); ++i)
            if (m_sent[i].second.rfind(prefix, 0) == 0) return m_sent[i].first;
        return std::nullopt;
    }
    // The first command report since mark with this code and, when given, first data byte.
    std::optional<double> WrittenAt(std::size_t mark, BYTE code, int data0 = -1) {
        std::lock_guard<std::mutex> lock(m_lock);
        for (std::size_t i = mark; i < m_written.size(); ++i) {
            const auto& b = m_written[i].second;
            if (b.size() > 5 && b[1] == 0x02 && b[2] == code && (data0 < 0 || b[5] == data0))
                return m_written[i].first;
        }
        return std::nullopt;
    }
    std::pair<std::size_t, std::size_t> Marks() {
        std::lock_guard<std::mutex> lock(m_lock);
        return {m_sent.size(), m_written.size()};
    }
    void React(std::function<void(const std::vector<BYTE>&)> react) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_react = std::move(react);
    }

private:
    std::function<double()> m_now;
    std::mutex m_lock;
    std::vector<std::pair<double, std::string>> m_sent;
    std::vector<std::pair<double, std::vector<BYTE>>> m_written;
    std::function<void(const std::vector<BYTE>&)> m_react;
};

std::vector<std::string> SkypeAnswers(const std::string& command) {
    if (command == "GET CURRENTUSERHANDLE") return {"CURRENTUSERHANDLE anna.k"};
    if (command == "get userstatus") return {"USERSTATUS ONLINE"};
    if (command == "search friends") return {"USERS alice, bob, carol"};
    if (command == "GET USER bob ONLINESTATUS") return {"USER bob ONLINESTATUS AWAY"};
    if (command == "GET CALL 31 PARTNER_DISPNAME") return {"CALL 31 PARTNER_DISPNAME Alice Martin"};
    if (command == "GET CALL 31 TYPE") return {"CALL 31 TYPE OUTGOING_P2P"};
    const std::string call = "GET CALL ", partner = " PARTNER_HANDLE";
    if (command.rfind(call, 0) == 0 && command.size() > call.size() + partner.size() &&
        command.compare(command.size() - partner.size(), partner.size(), partner) == 0)
        return {command.substr(4) + " bob"};
    return {};
}

// Drives one world: the handset's requests and Skype's notifications at
// random phases, and the latencies they give.
class Driver {
public:
    Driver(Recorder& recorder, platform::SimHid& hid, int device, platform::SimSkype& skype,
           std::function<void(std::uint32_t)> sleep, unsigned seed)
        : m_rec(recorder), m_hid(hid), m_device(device), m_skype(skype),
          m_sleep(std::move(sleep)), m_random(seed) {}

    // Runs trials of every kind in turn; the latencies in ms by kind.
    std::vector<std::vector<double>> Run(int trials) {
        std::vector<std::vector<double>> latencies(kKinds);
        for (int t = 0; t < trials; ++t) {
            for (int kind = 0; kind < kKinds; kind += (kind == kHistoryReady ? 2 : 1)) {
                m_sleep(std::uniform_int_distribution<std::uint32_t>(0, kLoopPassMs - 1)(m_random));
                Trial(static_cast<Kind>(kind), latencies);
                m_sleep(20);  // the flush after the reply returns the state to idle
            }
        }
        return latencies;
    }

private:
    void Input(std::vector<BYTE> report) {
        report.insert(report.begin(), 0x00);
        m_hid.QueueInput(m_device, std::move(report));
    }

    // Polls the recorder until the report is there; nullopt after 3 s.
    template <class F>
    std::optional<double> Await(F found) {
        for (int i = 0; i < 3000; ++i) {
            if (auto at = found()) return at;
            m_sleep(1);
        }
        return std::nullopt;
    }

    void Trial(Kind kind, std::vector<std::vector<double>>& latencies) {
        auto [sent, written] = m_rec.Marks();
        std::string from;
        BYTE code = 0;
        switch (kind) {
            case kCallerName: {
                std::string id = std::to_string(++m_nCall);
                from = "CALL " + id + " PARTNER_HANDLE";
                code = 0x15;
                m_skype.Notify("CALL " + id + " STATUS RINGING");
                break;
            }
            case kContacts:
                from = "USERS ";
                code = 0x01;
                Input({0x01, 0x01, 0x00});
                break;
            case kContactStatus:
                from = "USER bob ONLINESTATUS";
                code = 0x09;
                Input({0x01, 0x09, 0x03, 'b', 'o', 'b'});
                break;
            default: {
                from = "CALL 31 TYPE";
                code = 0x2A;
                // The handset fetches the chunks as soon as the picture is ready.
                m_rec.React([this](const std::vector<BYTE>& b) {
                    if (b.size() < 6 || b[1] != 0x02) return;
                    if (b[2] == 0x2A) Input({0x01, 0x27, 0x01, 0x00});
                    if (b[2] == 0x27 && b[5] < 7) Input({0x01, 0x27, 0x01, BYTE(b[5] + 1)});
                });
                Input({0x01, 0x2A, 0x02, 0x00, 0x1F});
                break;
            }
        }
        auto ready = Await([&] { return m_rec.WrittenAt(written, code); });
        auto start = m_rec.SentAt(sent, from);
        if (ready && start) latencies[kind].push_back(*ready - *start);
        if (kind == kHistoryReady) {
            // The whole chain, from Skype's first reply to the last chunk.
            start = m_rec.SentAt(sent, "CALL 31 PARTNER_DISPNAME");
            auto last = Await([&] { return m_rec.WrittenAt(written, 0x27, 7); });
            if (last && start) latencies[kHistoryChain].push_back(*last - *start);
            m_rec.React(nullptr);
        }
        if (kind == kCallerName) {
            m_sleep(100);
            m_skype.Notify("CALL " + std::to_string(m_nCall) + " STATUS FINISHED");
            m_sleep(400);  // the ending is written and acknowledged
        }
    }

    Recorder& m_rec;
    platform::SimHid& m_hid;
    int m_device;
    platform::SimSkype& m_skype;
    std::function<void(std::uint32_t)> m_sleep;
    std::mt19937 m_random;
    int m_nCall = 100;
};

void Hook(Recorder& recorder, platform::SimSkype& skype, platform::SimHid& hid, int device,
          sim::HandsetFirmware& firmware) {
    // Skype answers the first command of each request at a random phase of
    // the device loop; the later ones of a chain at its usual 2 ms.
    auto random = std::make_shared<std::mt19937>(device + 29);
    skype.m_rules = [&skype, random](const std::string& command) {
        bool first = command != "GET CALL 31 TYPE";
        skype.m_nReplyDelayMs =
            first ? std::uniform_int_distribution<std::uint32_t>(2, 2 + kLoopPassMs)(*random) : 2;
        return SkypeAnswers(command);
    };
    skype.m_trace = [&recorder](const char* what, const std::string& detail) {
        if (std::string(what) == "notify") recorder.Sent(detail);
    };
    platform::SimHid::Device& d = hid.At(device);
    d.onWrite = [&recorder, &firmware](int, const platform::SimHid::Written& w) {
        recorder.Written(w.bytes);
        firmware.OnWritten(w);
    };
    d.onRead = [&firmware](int, const std::vector<BYTE>& report) { firmware.OnDelivered(report); };
}

// The simulation: the program as it starts, finds the handset and attaches.
struct SimResult {
    std::vector<std::vector<double>> latencies;
    double switchesPerSecond = 0;
};

SimResult RunSimulated(bool quick, int trials, bool idleHour) {
    SettingsFolder folder(quick);
    int device = -1;
    std::unique_ptr<sim::HandsetFirmware> firmware;
    std::unique_ptr<Recorder> recorder;
    sim::SimBridge bridge(true, [&](sim::SimBridge& b) {
        platform::SimPlatform& s = b.m_sim;
        s.m_files.m_baseDir = folder.m_path;
        s.m_registry.SetValue(platform::RegRoot::CurrentUser, L"Software\\Skype\\Phone",
                              L"SkypePath", platform::kRegSz, {'C', 0, 0, 0});
        s.m_registry.SetValue(platform::RegRoot::LocalMachine, L"Software\\KOVADO", L"Tambrelo",
                              platform::kRegDword, {1, 0, 0, 0});
        device = s.m_hid.AddDevice(kVendor, kModel6612);
        firmware = std::make_unique<sim::HandsetFirmware>(s.m_hid, device, kModel6612);
        recorder = std::make_unique<Recorder>([&s] { return double(s.Now()); });
        Hook(*recorder, b.m_skype, s.m_hid, device, *firmware);
    });
    bridge.StartLikeProgram();
    bridge.RunFor(5000);  // found, attached, user handle known

    SimResult result;
    platform::SimPlatform& s = bridge.m_sim;
    if (idleHour) {
        std::uint64_t before = s.m_scheduler.m_nSwitches;
        bridge.RunFor(3600 * 1000);
        result.switchesPerSecond = double(s.m_scheduler.m_nSwitches - before) / 3600.0;
    }
    bool done = false;
    platform::ThreadId driver = s.m_windows.Start([&] {
        Driver d(*recorder, s.m_hid, device, bridge.m_skype,
                 [&s](std::uint32_t ms) { s.m_clock.Sleep(ms); }, 18);
        result.latencies = d.Run(trials);
        std::lock_guard<std::mutex> lock(s.m_scheduler.StateLock());
        done = true;
    });
    while (true) {
        bridge.RunFor(1000);
        std::lock_guard<std::mutex> lock(s.m_scheduler.StateLock());
        if (done) break;
    }
    s.m_windows.Join(driver);
    bridge.Exit();
    bridge.RunFor(100);
    return result;
}

// Real threads and time: the view on the POSIX backend, the handset opened
// directly (this backend supervises nothing).
struct PosixResult {
    std::vector<std::vector<double>> latencies;
    double wakeupsPerSecond = 0;
    double cpuSecondsPerHour = 0;
    double idleSeconds = 0;
};

double CpuSeconds(const rusage& r) {
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

PosixResult RunPosix(bool quick, int trials, int idleSeconds) {
    SettingsFolder folder(quick);
    platform::PosixPlatform posix;
    posix.m_files.m_baseDir = folder.m_path;
    platform::SimHid hid(posix.m_scheduler);
    platform::Services services = posix.m_services;
    services.hid = &hid;
    platform::SimSkype skype(posix.m_windows, posix.m_scheduler);
    const auto origin = std::chrono::steady_clock::now();
    Recorder recorder([origin] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - origin)
            .count();
    });
    int device = hid.AddDevice(kVendor, kModel6612);
    sim::HandsetFirmware firmware(hid, device, kModel6612);
    Hook(recorder, skype, hid, device, firmware);
    skype.Start();

    PosixResult result;
    {
        CBridgeView view(services);
        view.Create(0);
        view.m_nTickTimer = posix.m_windows.SetTimer(view.m_hWnd, kTickTimerId, 50);
        hid.BeginEnumeration();
        platform::DeviceHandle handle = hid.OpenInterface(0);
        hid.EndEnumeration();
        {
            std::lock_guard<platform::Mutex> lock(view.m_deviceLock);
            view.SetModel6612();
            view.m_hDevice = handle;
        }
        posix.m_windows.Broadcast(view.m_nMsgDiscover, view.m_hWnd, 0);
        auto pump = [&](std::uint64_t ms) {
            std::uint64_t until = posix.m_clock.NowMs() + ms;
            while (posix.m_clock.NowMs() < until) posix.m_windows.Pump(until);
        };
        pump(2000);  // attached, the device loop out of its idle second

        if (idleSeconds > 0) {
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            pump(static_cast<std::uint64_t>(idleSeconds) * 1000);
            getrusage(RUSAGE_SELF, &after);
            long switches = (after.ru_nvcsw - before.ru_nvcsw) + (after.ru_nivcsw - before.ru_nivcsw);
            result.idleSeconds = idleSeconds;
            result.wakeupsPerSecond = double(switches) / idleSeconds;
            result.cpuSecondsPerHour = (CpuSeconds(after) - CpuSeconds(before)) * 3600.0 / idleSeconds;
        }

        std::atomic<bool> done{false};
        std::thread driver([&] {
            Driver d(recorder, hid, device, skype,
                     [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                     7);
            result.latencies = d.Run(trials);
            done = true;
        });
        while (!done) pump(100);
        driver.join();
    }
    skype.Stop();
    return result;
}

void PrintLatencies(const char* title, const char* unit, const std::vector<std::vector<double>>& off,
                    const std::vector<std::vector<double>>& on, benchmark::State& state) {
    std::printf("\n%s (%s; samples per kind: %zu off, %zu on)\n", title, unit,
                off.empty() ? 0 : off[0].size(), on.empty() ? 0 : on[0].size());
    std::printf("%-26s %9s %9s %9s | %9s %9s %9s\n", "", "off p50", "off p99", "off max",
                "on p50", "on p99", "on max");
    for (int k = 0; k < kKinds; ++k) {
        Figures a = Summarise(off.at(k)), b = Summarise(on.at(k));
        std::printf("%-26s %9.2f %9.2f %9.2f | %9.2f %9.2f %9.2f\n", kKindNames[k], a.p50, a.p99,
                    a.max, b.p50, b.p99, b.max);
        std::string key = kKindKeys[k];
        state.counters[key + "_off_p99"] = a.p99;
        state.counters[key + "_on_p99"] = b.p99;
        state.counters[key + "_on_max"] = b.max;
    }
}

void BM_QuickReplySimulated(benchmark::State& state) {
    const int trials = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SimResult off = RunSimulated(false, trials, true);
        SimResult on = RunSimulated(true, trials, true);
        PrintLatencies("Simulation, virtual time", "ms", off.latencies, on.latencies, state);
        std::printf("idle simulated hour: %.2f turns between threads per second off, %.2f on\n",
                    off.switchesPerSecond, on.switchesPerSecond);
        state.counters["idle_turns_per_s_off"] = off.switchesPerSecond;
        state.counters["idle_turns_per_s_on"] = on.switchesPerSecond;
    }
}
BENCHMARK(BM_QuickReplySimulated)->Arg(500)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_QuickReplyRealTime(benchmark::State& state) {
    const int trials = static_cast<int>(state.range(0));
    const int idle = static_cast<int>(state.range(1));
    for (auto _ : state) {
        PosixResult off = RunPosix(false, trials, idle);
        PosixResult on = RunPosix(true, trials, idle);
        PrintLatencies("POSIX, real time", "ms", off.latencies, on.latencies, state);
        std::printf("idle, %.0f s each, scaled to an hour: wakeups/s %.2f off, %.2f on; "
                    "CPU s/hour %.2f off, %.2f on\n",
                    off.idleSeconds, off.wakeupsPerSecond, on.wakeupsPerSecond,
                    off.cpuSecondsPerHour, on.cpuSecondsPerHour);
        state.counters["idle_wakeups_per_s_off"] = off.wakeupsPerSecond;
        state.counters["idle_wakeups_per_s_on"] = on.wakeupsPerSecond;
        state.counters["idle_cpu_s_per_hour_off"] = off.cpuSecondsPerHour;
        state.counters["idle_cpu_s_per_hour_on"] = on.cpuSecondsPerHour;
    }
}
BENCHMARK(BM_QuickReplyRealTime)->Args({50, 30})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovado
