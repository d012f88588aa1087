#include "simulator/Demo.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "display/DisplayRenderer.h"
#include "platform/sim/PictureView.h"
#include "simulator/harness/Decode.h"
#include "simulator/harness/DemoScript.h"
#include "simulator/harness/PictureCollector.h"
#include "simulator/harness/ScenarioRun.h"

namespace kovado::sim {

namespace {

constexpr std::size_t kHexShown = 14;

const char kIntro[] =
    "KovadoDeskLink, simulated: the real bridge between a USB telephone handset\n"
    "and the Skype client, run against a simulated Skype client and handset in\n"
    "virtual time. Each line: the virtual time, who speaks to whom, and what.\n"
    "\n"
    "  bridge→skype    a command the bridge sent; [m/s] is the reply mode and\n"
    "                  sub-mode it set, \"failed\" when no client took it\n"
    "  skype→bridge    a notification or reply of the Skype client\n"
    "  bridge→handset  a report written to the handset (decoded, then its bytes)\n"
    "  handset→bridge  a report the handset sent\n"
    "  tray            the tray icon and its tooltip\n";

std::string Seconds(std::uint64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%4llu.%03llu s", static_cast<unsigned long long>(ms / 1000),
                  static_cast<unsigned long long>(ms % 1000));
    return text;
}

std::string ShortHex(const std::vector<BYTE>& bytes) {
    std::vector<BYTE> shown(bytes.begin(),
                            bytes.begin() + static_cast<long>(std::min(bytes.size(), kHexShown)));
    std::string hex = Hex(shown);
    if (bytes.size() > kHexShown) hex += " …";
    return hex;
}

std::string AttachMeaning(const std::string& status) {
    if (status == "0") return "connected";
    if (status == "1") return "pending authorization";
    if (status == "2") return "refused";
    if (status == "3") return "API not available";
    if (status == "32769") return "API available, try again";
    return "unknown";
}

// Prints events as they happen and puts the picture chunks the handset
// receives back together, as the handset's display would.
class DemoPrinter {
public:
    explicit DemoPrinter(std::string picturesDir) : m_dir(std::move(picturesDir)) {}

    void operator()(const TraceEvent& e) {
        const std::string t = Seconds(e.atMs);
        if (e.tag == "tray") {
            Tray(t, e.payload);
        } else if (e.tag == "note") {
            std::printf("\n== %s\n", e.payload.c_str());
        } else if (e.tag == "skype<") {
            Line(t, "bridge→skype", e.payload);
        } else if (e.tag == "skype>") {
            Line(t, "skype→bridge", e.payload);
        } else if (e.tag == "discover") {
            Line(t, "bridge", "discover broadcast: is a Skype client there?");
        } else if (e.tag == "attach") {
            Line(t, "skype→bridge",
                 "attach status " + e.payload + " (" + AttachMeaning(e.payload) + ")");
        } else if (e.tag == "hid<") {
            std::string suffix =
                e.payload.size() > 6 && e.payload.ends_with(" (out)") ? " (out)" : "";
            Line(t, "bridge→handset", DescribeToHandset(e.report), ShortHex(e.report) + suffix);
            Picture(e.report);
        } else if (e.tag == "hid>") {
            Line(t, "handset→bridge", DescribeFromHandset(e.report), ShortHex(e.report));
        } else if (e.tag == "exec") {
            Line(t, "bridge", "starts the program " + e.payload);
        } else if (e.tag == "log") {
            Line(t, "debug log", e.payload);
        }
    }

private:
    // Supervision changes the icon and the tooltip one after the other, with
    // other work between them: each line names what has just changed.
    void Tray(const std::string& t, const std::string& payload) {
        std::size_t space = payload.find(' ');
        std::string icon = payload.substr(0, space);
        std::string tip = space == std::string::npos ? "" : payload.substr(space + 1);
        bool newIcon = !m_bTrayShown || icon != m_trayIcon;
        bool newTip = !m_bTrayShown || tip != m_trayTip;
        std::string what = newIcon ? (icon == "none" ? "no icon yet" : "icon " + icon) : "";
        if (newTip) what += (what.empty() ? "tooltip " : ", tooltip ") + tip;
        Line(t, "tray", what);
        m_bTrayShown = true;
        m_trayIcon = icon;
        m_trayTip = tip;
    }

    // Columns are counted in characters, not bytes: the arrows and names
    // are UTF-8.
    static std::string Pad(const std::string& text, std::size_t width) {
        std::size_t chars = 0;
        for (char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return chars >= width ? text + " " : text + std::string(width - chars, ' ');
    }

    void Line(const std::string& t, const std::string& who, const std::string& what,
              const std::string& bytes = std::string()) {
        std::string line = t + "  " + Pad(who, 16) + (bytes.empty() ? what : Pad(what, 46) + bytes);
        std::printf("%s\n", line.c_str());
    }

    void Picture(const std::vector<BYTE>& report) {
        if (!m_collector.Feed(report)) return;
        std::printf("\n%s picture on the handset's display:\n",
                    m_collector.m_bHistory ? "History" : "Name");
        std::string art = platform::PictureArt(
            m_collector.m_picture.data(), CDisplayRenderer::kPictureWidth, CDisplayRenderer::kRows);
        for (std::size_t at = 0; at < art.size();) {
            std::size_t end = art.find('\n', at);
            std::printf("      %s\n", art.substr(at, end - at).c_str());
            at = end + 1;
        }
        if (!m_dir.empty()) Save();
        std::printf("\n");
    }

    void Save() {
        std::error_code ignored;
        std::filesystem::create_directories(m_dir, ignored);
        char name[32];
        std::snprintf(name, sizeof name, "%02d-%s.png", ++m_nSaved,
                      m_collector.m_bHistory ? "history" : "name");
        std::string path = (std::filesystem::path(m_dir) / name).string();
        if (platform::SavePicturePng(path, m_collector.m_picture.data(),
                                     CDisplayRenderer::kPictureWidth, CDisplayRenderer::kRows))
            std::printf("      saved as %s\n", path.c_str());
        else
            std::printf("      could not save %s\n", path.c_str());
    }

    std::string m_dir;
    bool m_bTrayShown = false;
    std::string m_trayIcon;
    std::string m_trayTip;
    PictureCollector m_collector;
    int m_nSaved = 0;
};

}  // namespace

int RunDemo(const std::string& picturesDir) {
    Scenario scenario;
    std::string error;
    if (!ParseScenario(DemoScript(), "demo", scenario, error)) {
        std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
        return 2;
    }
    std::fputs(kIntro, stdout);
    auto started = std::chrono::steady_clock::now();
    DemoPrinter printer(picturesDir);
    if (!RunScenario(scenario, RunOptions{}, std::ref(printer), error)) {
        std::fprintf(stderr, "kovado-sim: %s\n", error.c_str());
        return 1;
    }
    auto real = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::printf(
        "\nThe bridge shut down as on the tray menu's Exit: %llu s of virtual time in %lld ms.\n",
        static_cast<unsigned long long>(scenario.EndMs() / 1000),
        static_cast<long long>(real.count()));
    return 0;
}

}  // namespace kovado::sim
