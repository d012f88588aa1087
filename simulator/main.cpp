// kovado-sim: runs the bridge against a simulated Skype client and handset in
// virtual time and shows what crosses the wire.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "platform/sim/PictureView.h"
#include "simulator/Demo.h"
#include "simulator/harness/DemoScript.h"
#include "simulator/harness/ScenarioRun.h"
#include "simulator/harness/SimBridge.h"
#include "simulator/harness/Soak.h"

using namespace kovado;

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage: kovado-sim demo [--pictures DIR]\n"
        "           run the built-in tour of the bridge and print it for people; with\n"
        "           --pictures, also save each picture the handset fetches as a PNG\n"
        "       kovado-sim demo --scenario\n"
        "           print the demo's scenario file, a start for scenarios of your own\n"
        "       kovado-sim run SCENARIO [--dir DIR]\n"
        "           run a scenario file and print its canonical trace; DIR is the\n"
        "           bridge's current directory (\"setting\", \"Language\"), by default a\n"
        "           fresh folder with the shipped settings\n"
        "       kovado-sim soak --seed N [--seeds K] --hours H [--out DIR]\n"
        "           a seeded random life with faults, under the invariant checker,\n"
        "           for seeds N to N+K-1; a broken invariant prints the seed and the\n"
        "           virtual time and writes DIR/soak-seed-N.scn, which replays it\n"
        "       kovado-sim soak --check SCENARIO\n"
        "           a scenario file under the invariant checker\n"
        "       kovado-sim picture NAME [FILE.png]\n"
        "           draw NAME as the handset's name picture, print it and optionally\n"
        "           save it as a PNG\n"
        "       kovado-sim history KIND NAME [FILE.png]\n"
        "           the same as a history picture (KIND 1 missed, 2 incoming, else\n"
        "           outgoing)\n"
        "       kovado-sim --help\n",
        to);
}

int RunFile(int argc, char** argv) {
    if (argc < 3) {
        PrintUsage(stderr);
        return 2;
    }
    sim::RunOptions options;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            options.settingsDir = argv[++i];
        } else {
            PrintUsage(stderr);
            return 2;
        }
    }
    sim::Scenario scenario;
    std::string error;
    if (!sim::LoadScenario(argv[2], scenario, error)) {
        std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
        return 2;
    }
    auto print = [](const sim::TraceEvent& event) {
        std::string line = sim::CanonicalLine(event);
        if (!line.empty()) std::printf("%s\n", line.c_str());
    };
    if (!sim::RunScenario(scenario, options, print, error)) {
        std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Demo(int argc, char** argv) {
    std::string pictures;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scenario") == 0 && argc == 3) {
            std::fputs(sim::DemoScript(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc) {
            pictures = argv[++i];
        } else {
            PrintUsage(stderr);
            return 2;
        }
    }
    return sim::RunDemo(pictures);
}

void PrintGrowth(const sim::SoakVerdict& verdict, int calls) {
    for (const sim::ListGrowth& g : verdict.lists) {
        double perThousand =
            calls > 0 ? (static_cast<double>(g.last) - static_cast<double>(g.first)) * 1000.0 / calls
                      : 0.0;
        std::printf("  %-26s first %zu, last %zu, peak %zu, growth %.1f per 1000 calls\n",
                    g.name.c_str(), g.first, g.last, g.peak, perThousand);
    }
}

int Soak(int argc, char** argv) {
    std::uint64_t seed = 1, seeds = 1;
    double hours = 0;
    std::string out = ".", check;
    for (int i = 2; i < argc; ++i) {
        bool more = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && more) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--seeds") == 0 && more) {
            seeds = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--hours") == 0 && more) {
            hours = std::strtod(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--out") == 0 && more) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--check") == 0 && more) {
            check = argv[++i];
        } else {
            PrintUsage(stderr);
            return 2;
        }
    }
    sim::SoakOptions options;
    std::string error;
    if (!check.empty()) {
        sim::Scenario scenario;
        if (!sim::LoadScenario(check, scenario, error)) {
            std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
            return 2;
        }
        sim::SoakVerdict verdict =
            sim::CheckScenario(scenario, options.restWithinMs, options.probeEveryMs, error);
        if (!verdict.ok) {
            std::printf("%s: broken at %llu ms: %s\n", check.c_str(),
                        static_cast<unsigned long long>(verdict.brokenAtMs), verdict.broken.c_str());
            return 1;
        }
        std::printf("%s: %llu checks, all held\n", check.c_str(),
                    static_cast<unsigned long long>(verdict.checks));
        return 0;
    }
    // At most a day per seed: scenario times go up to one day.
    if (hours <= 0 || hours > 23.9 || seeds == 0) {
        std::fprintf(stderr, "kovado-sim: soak needs --hours above 0 and below 24\n");
        return 2;
    }
    auto lifeMs = static_cast<std::uint64_t>(hours * 3600000.0);
    std::clock_t started = std::clock();
    std::uint64_t checks = 0;
    int failures = 0;
    for (std::uint64_t s = seed; s < seed + seeds; ++s) {
        sim::SoakLife life = sim::GenerateSoakLife(s, lifeMs, options.calmMs);
        sim::Scenario scenario;
        if (!sim::ParseScenario(life.text, "soak", scenario, error)) {
            std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
            return 2;
        }
        sim::SoakVerdict verdict =
            sim::CheckScenario(scenario, options.restWithinMs, options.probeEveryMs, error);
        checks += verdict.checks;
        if (!verdict.ok) {
            ++failures;
            std::string file = out + "/soak-seed-" + std::to_string(s) + ".scn";
            std::ofstream(file, std::ios::binary) << sim::ReplayScenario(life.text, verdict, s, hours);
            std::printf("seed %llu: broken at %llu ms: %s\n  replay: kovado-sim run %s\n",
                        static_cast<unsigned long long>(s),
                        static_cast<unsigned long long>(verdict.brokenAtMs), verdict.broken.c_str(),
                        file.c_str());
            continue;
        }
        std::printf("seed %llu: %g virtual hours, %d calls, %llu checks, at rest %llu ms after the "
                    "faults stopped\n",
                    static_cast<unsigned long long>(s), hours, life.calls,
                    static_cast<unsigned long long>(verdict.checks),
                    static_cast<unsigned long long>(verdict.restAtMs - life.calmAtMs));
        PrintGrowth(verdict, life.calls);
    }
    double cpu = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;
    std::printf("soak: %llu seeds x %g virtual hours, %.1f s CPU (%.1f virtual hours per CPU "
                "second), %llu checks, %d broken\n",
                static_cast<unsigned long long>(seeds), hours, cpu,
                cpu > 0 ? static_cast<double>(seeds) * hours / cpu : 0.0,
                static_cast<unsigned long long>(checks), failures);
    return failures == 0 ? 0 : 1;
}

// Draws a picture the way the handset would ask for it and shows the result.
int RunPicture(int argc, char** argv) {
    bool history = std::strcmp(argv[1], "history") == 0;
    int nameArg = history ? 3 : 2;
    if (argc <= nameArg) {
        PrintUsage(stderr);
        return 2;
    }
    sim::SimBridge bridge(false);
    CDisplayRenderer& renderer = *bridge.m_view->m_pRenderer;
    std::wstring name = FromUtf8(std::string(argv[nameArg]));
    if (history) {
        renderer.m_strName = name;
        renderer.SendHistoryPicture(static_cast<BYTE>(std::atoi(argv[2])));
    } else {
        renderer.SendNamePicture(name);
    }
    const BYTE* picture = renderer.m_abPicture.data();
    std::fputs(
        platform::PictureArt(picture, CDisplayRenderer::kPictureWidth, CDisplayRenderer::kRows)
            .c_str(),
        stdout);
    if (argc > nameArg + 1 &&
        !platform::SavePicturePng(argv[nameArg + 1], picture, CDisplayRenderer::kPictureWidth,
                                  CDisplayRenderer::kRows)) {
        std::fprintf(stderr, "kovado-sim: cannot write %s\n", argv[nameArg + 1]);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return Demo(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "run") == 0) return RunFile(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "soak") == 0) return Soak(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "picture") == 0 || std::strcmp(argv[1], "history") == 0))
        return RunPicture(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    PrintUsage(stderr);
    return 2;
}
