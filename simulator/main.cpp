// kovado-sim: runs the bridge against a simulated Skype client and handset in
// virtual time and shows what crosses the wire.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "platform/sim/PictureView.h"
#include "simulator/Demo.h"
#include "simulator/harness/DemoScript.h"
#include "simulator/harness/ScenarioRun.h"
#include "simulator/harness/SimBridge.h"

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
    if (argc >= 2 && (std::strcmp(argv[1], "picture") == 0 || std::strcmp(argv[1], "history") == 0))
        return RunPicture(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    PrintUsage(stderr);
    return 2;
}
