#include "simulator/harness/Trace.h"

#include <cstdio>

#include "platform/Text.h"

namespace kovado::sim {

namespace {

// One line per event: control characters inside a text are shown escaped.
std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The text of a copy-data message: its bytes up to the first NUL.
std::string CopyDataText(std::intptr_t lParam) {
    const auto* data = reinterpret_cast<const platform::CopyData*>(lParam);
    if (!data || !data->lpData) return std::string();
    const auto* bytes = static_cast<const char*>(data->lpData);
    std::string text;
    for (std::uint32_t i = 0; i < data->cbData && bytes[i] != 0; ++i) text.push_back(bytes[i]);
    return Printable(text);
}

}  // namespace

std::string Hex(const std::vector<BYTE>& bytes) {
    std::string out;
    char byte[4];
    for (BYTE b : bytes) {
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>(b));
        if (!out.empty()) out.push_back(' ');
        out += byte;
    }
    return out;
}

std::vector<BYTE> WrittenBytes(const std::vector<BYTE>& report) {
    if (report.size() < 2) return {};
    if (report[1] == 0x00) return {0x00, 0x00, 0x00};
    if (report.size() < 4) return std::vector<BYTE>(report.begin() + 1, report.end());
    std::size_t end = std::min<std::size_t>(report.size(), 4u + report[3]);
    return std::vector<BYTE>(report.begin() + 1, report.begin() + static_cast<long>(end));
}

std::string CanonicalLine(const TraceEvent& event) {
    if (event.tag == "note" || event.tag == "hid-lost") return std::string();
    std::string line = std::to_string(event.atMs) + " " + event.tag;
    if (!event.payload.empty()) line += " " + event.payload;
    return line;
}

// The window system as the bridge uses it, watched: commands to Skype, log
// lines and the discover broadcast on the way out; notifications and attach
// messages on the way in, through a watching stand-in for each window's client.
class Tracer::Windows : public platform::IWindowSystem {
public:
    Windows(Tracer& tracer, platform::IWindowSystem& inner) : m_tracer(tracer), m_inner(inner) {}

    std::uint32_t RegisterMessage(const std::wstring& name) override {
        std::uint32_t id = m_inner.RegisterMessage(name);
        if (name == L"SkypeControlAPIAttach") m_nMsgAttach = id;
        if (name == L"SkypeControlAPIDiscover") m_nMsgDiscover = id;
        return id;
    }
    platform::WindowHandle CreateWindow(platform::IWindowClient* client, const std::wstring& title,
                                        platform::WindowHandle parent) override {
        auto watcher = std::make_unique<Client>(*this, client);
        platform::WindowHandle window = m_inner.CreateWindow(watcher.get(), title, parent);
        if (window != 0) m_clients.push_back(std::move(watcher));
        return window;
    }
    void DestroyWindow(platform::WindowHandle window) override { m_inner.DestroyWindow(window); }
    bool IsWindow(platform::WindowHandle window) override { return m_inner.IsWindow(window); }
    platform::WindowHandle FindWindow(const std::wstring& title) override {
        return m_inner.FindWindow(title);
    }
    std::intptr_t Send(platform::WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override {
        if (message == platform::kLbInsertString && lParam != 0)
            m_tracer.Emit("log", Printable(ToUtf8(reinterpret_cast<const wchar_t*>(lParam))));
        if (message != platform::kWmCopyData) return m_inner.Send(to, message, wParam, lParam);
        // The mode is the one the sender has just set: nothing has run since.
        auto mode = m_tracer.m_modeProbe ? m_tracer.m_modeProbe() : std::pair<int, int>{-1, -1};
        std::intptr_t result = m_inner.Send(to, message, wParam, lParam);
        m_tracer.Emit("skype<", CopyDataText(lParam) + " [" + std::to_string(mode.first) + "/" +
                                    std::to_string(mode.second) + "]" +
                                    (result == 0 ? " failed" : ""));
        return result;
    }
    void Broadcast(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (message == m_nMsgDiscover && m_nMsgDiscover != 0) m_tracer.Emit("discover", "");
        m_inner.Broadcast(message, wParam, lParam);
    }
    bool Post(platform::WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        return m_inner.Post(to, message, wParam, lParam);
    }
    bool ReplyMessage(std::intptr_t result) override { return m_inner.ReplyMessage(result); }
    std::uint32_t SetTimer(platform::WindowHandle window, std::uint32_t id,
                           std::uint32_t periodMs) override {
        return m_inner.SetTimer(window, id, periodMs);
    }
    bool KillTimer(platform::WindowHandle window, std::uint32_t id) override {
        return m_inner.KillTimer(window, id);
    }
    void PostQuit(int exitCode) override { m_inner.PostQuit(exitCode); }
    platform::Fetch GetMessage(platform::Message& out, std::uint64_t untilMs) override {
        return m_inner.GetMessage(out, untilMs);
    }
    std::intptr_t DispatchMessage(const platform::Message& message) override {
        return m_inner.DispatchMessage(message);
    }
    int QuitCode() override { return m_inner.QuitCode(); }

private:
    struct Client : platform::IWindowClient {
        Client(Windows& owner, platform::IWindowClient* inner) : m_owner(owner), m_pInner(inner) {}
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override {
            if (message == platform::kWmCopyData)
                m_owner.m_tracer.Emit("skype>", CopyDataText(lParam));
            else if (message == m_owner.m_nMsgAttach && m_owner.m_nMsgAttach != 0)
                m_owner.m_tracer.Emit("attach", std::to_string(lParam));
            return m_pInner ? m_pInner->WindowProc(message, wParam, lParam) : 0;
        }
        Windows& m_owner;
        platform::IWindowClient* m_pInner;
    };

    Tracer& m_tracer;
    platform::IWindowSystem& m_inner;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::uint32_t m_nMsgAttach = 0;
    std::uint32_t m_nMsgDiscover = 0;
};

// The tray, watched: a line whenever what the notification area shows
// changes, icon and tooltip together.
class Tracer::Tray : public platform::ITray {
public:
    Tray(Tracer& tracer, platform::SimTray& inner) : m_tracer(tracer), m_inner(inner) {}

    bool Add(platform::WindowHandle owner, platform::IconHandle icon, const std::wstring& tip,
             std::uint32_t callbackMessage) override {
        bool added = m_inner.Add(owner, icon, tip, callbackMessage);
        Report();
        return added;
    }
    void Remove() override {
        m_inner.Remove();
        m_bShown = false;
    }
    void ChangeIcon(platform::IconHandle icon) override {
        m_inner.ChangeIcon(icon);
        Report();
    }
    void ChangeTip(const std::wstring& tip) override {
        m_inner.ChangeTip(tip);
        Report();
    }
    platform::IconHandle LoadIconFile(const std::wstring& path) override {
        return m_inner.LoadIconFile(path);
    }
    platform::IconHandle LoadIconResource(UINT resource) override {
        return m_inner.LoadIconResource(resource);
    }
    void DestroyIcon(platform::IconHandle icon) override { m_inner.DestroyIcon(icon); }

private:
    void Report() {
        platform::SimTray::Shown now = m_inner.Now();
        if (!now.added || (m_bShown && now.icon == m_nIcon && now.tip == m_strTip)) return;
        m_bShown = true;
        m_nIcon = now.icon;
        m_strTip = now.tip;
        auto name = m_tracer.m_iconNames.find(now.icon);
        std::string icon = name != m_tracer.m_iconNames.end() ? name->second
                           : now.icon == 0                    ? "none"
                                                              : "icon" + std::to_string(now.icon);
        m_tracer.Emit("tray", icon + " \"" + Printable(ToUtf8(now.tip)) + "\"");
    }

    Tracer& m_tracer;
    platform::SimTray& m_inner;
    bool m_bShown = false;
    platform::IconHandle m_nIcon = 0;
    std::wstring m_strTip;
};

Tracer::Tracer(platform::SimPlatform& sim, TraceSink sink) : m_sim(sim), m_sink(std::move(sink)) {}

Tracer::~Tracer() = default;

void Tracer::Attach(platform::Services& services) {
    m_windows = std::make_unique<Windows>(*this, *services.windows);
    m_tray = std::make_unique<Tray>(*this, m_sim.m_tray);
    services.windows = m_windows.get();
    services.tray = m_tray.get();
    m_sim.m_process.m_onStart = [this](const std::string& commandLine) {
        Emit("exec", "\"" + Printable(commandLine) + "\"");
    };
}

void Tracer::Emit(std::string tag, std::string payload, std::vector<BYTE> report,
                  std::size_t wireBytes) {
    if (m_sink)
        m_sink(TraceEvent{m_sim.Now(), std::move(tag), std::move(payload), std::move(report),
                          wireBytes});
}

void Tracer::OnWritten(const platform::SimHid::Written& written) {
    std::vector<BYTE> shown = WrittenBytes(written.bytes);
    std::string payload = Hex(shown);
    if (written.path == platform::SimHid::Path::Interrupt) payload += " (out)";
    Emit("hid<", std::move(payload), std::move(shown), written.bytes.size());
}

void Tracer::OnLost(const platform::SimHid::Written& written) {
    std::vector<BYTE> shown = WrittenBytes(written.bytes);
    std::string payload = Hex(shown);
    Emit("hid-lost", std::move(payload), std::move(shown), written.bytes.size());
}

void Tracer::OnDelivered(const std::vector<BYTE>& report) {
    std::vector<BYTE> shown(report.begin() + (report.empty() ? 0 : 1), report.end());
    std::string payload = Hex(shown);
    Emit("hid>", std::move(payload), std::move(shown));
}

}  // namespace kovado::sim
