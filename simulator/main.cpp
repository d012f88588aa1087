// kovado-sim: runs the bridge against a simulated Skype client in virtual time
// and prints what crosses the wire.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/DisplayRenderer.h"
#include "platform/Text.h"
#include "platform/sim/PictureView.h"
#include "simulator/harness/SimBridge.h"

using namespace kovado;

namespace {

void PrintUsage() {
    std::puts(
        "usage: kovado-sim demo     run the built-in scenario and print its trace\n"
        "       kovado-sim picture NAME [FILE.png]\n"
        "                           draw NAME as the handset's name picture, print it\n"
        "                           and optionally save it as a PNG\n"
        "       kovado-sim history KIND NAME [FILE.png]\n"
        "                           the same as a history picture (KIND 1 missed,\n"
        "                           2 incoming, else outgoing)\n"
        "       kovado-sim --help   show this text");
}

int RunDemo() {
    sim::SimBridge bridge;
    auto& sim = bridge.m_sim;
    bridge.m_skype.m_attachStatuses = {0x8001, 1, 0};
    bridge.m_skype.m_trace = [&sim](const char* what, const std::string& detail) {
        std::printf("%8llu ms  skype %-8s %s\n", static_cast<unsigned long long>(sim.Now()),
                    what, detail.c_str());
    };
    bridge.m_skype.m_rules = [](const std::string& command) -> std::vector<std::string> {
        if (command == "GET CURRENTUSERHANDLE") return {"CURRENTUSERHANDLE echo123"};
        if (command == "get userstatus") return {"USERSTATUS ONLINE"};
        return {};
    };
    bridge.CreateWindows();
    std::printf("%8llu ms  bridge   discover broadcast\n",
                static_cast<unsigned long long>(sim.Now()));
    bridge.Discover();
    std::printf("%8llu ms  bridge   attached: %s\n", static_cast<unsigned long long>(sim.Now()),
                bridge.m_view->m_hSkypeWnd ? "yes" : "no");
    bridge.m_view->RequestUserHandle();
    bridge.RunFor(50);
    std::printf("%8llu ms  bridge   user handle: %ls\n",
                static_cast<unsigned long long>(sim.Now()), bridge.m_view->UserHandle().c_str());
    bridge.m_skype.Notify("CALL 123 STATUS RINGING");
    bridge.RunFor(50);
    std::printf("%8llu ms  bridge   call notification routed to the call handler\n",
                static_cast<unsigned long long>(sim.Now()));
    return 0;
}

// Draws a picture the way the handset would ask for it and shows the result.
int RunPicture(int argc, char** argv) {
    bool history = std::strcmp(argv[1], "history") == 0;
    int nameArg = history ? 3 : 2;
    if (argc <= nameArg) {
        PrintUsage();
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
    std::fputs(platform::PictureArt(picture, CDisplayRenderer::kPictureWidth,
                                    CDisplayRenderer::kRows)
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
    if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return RunDemo();
    if (argc >= 2 && (std::strcmp(argv[1], "picture") == 0 || std::strcmp(argv[1], "history") == 0))
        return RunPicture(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage();
        return 0;
    }
    PrintUsage();
    return 2;
}
