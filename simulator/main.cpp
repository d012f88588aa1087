// kovado-sim: runs the bridge against a simulated Skype client in virtual time
// and prints what crosses the wire.
#include <cstdio>
#include <cstring>
#include <string>

#include "simulator/harness/SimBridge.h"

using namespace kovado;

namespace {

void PrintUsage() {
    std::puts(
        "usage: kovado-sim demo     run the built-in scenario and print its trace\n"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return RunDemo();
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage();
        return 0;
    }
    PrintUsage();
    return 2;
}
