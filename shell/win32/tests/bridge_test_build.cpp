// The bridge program as shipped, with two test hooks: the tray icon's changes
// are logged (the real notification area still shows them), and the HID seam
// is either a simulated handset of model 0x6612, plugged in from the start, or
// the real one with the attributes of every interface looked at logged.
//   bridge_test_build LOGFILE [--real-hid]
// Log lines: "tray shown=0|1 icon=<resource or file> tip=<text>" after each
// change that reaches the icon; "menu label <command> <text>" for each label
// the tray menu is given and "menu shown" when it opens; "hid open|attributes ..." from the real seam;
// "hid feature|write <first bytes>" and, once, "hid read" from the simulated
// handset; "exit <code>".
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "shell/win32/BridgeApp.h"
#include "shell/win32/tests/TestLog.h"

using namespace kovado::platform;
using kovado::BYTE;
using kovado::wintest::LineLog;

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

// The real tray, with each effective change logged as the state it shows.
class RecordingTray : public ITray {
public:
    RecordingTray(ITray& real, LineLog& log) : m_real(real), m_log(log) {}
    bool Add(WindowHandle owner, IconHandle icon, const std::wstring& tip,
             std::uint32_t callback) override {
        bool added = m_real.Add(owner, icon, tip, callback);
        std::lock_guard<std::mutex> lock(m_lock);
        if (added) m_shown = {true, icon, tip};
        Log();
        return added;
    }
    void Remove() override {
        m_real.Remove();
        std::lock_guard<std::mutex> lock(m_lock);
        m_shown.added = false;
        Log();
    }
    void ChangeIcon(IconHandle icon) override {
        m_real.ChangeIcon(icon);
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_shown.added) return;
        m_shown.icon = icon;
        Log();
    }
    void ChangeTip(const std::wstring& tip) override {
        m_real.ChangeTip(tip);
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_shown.added || m_shown.tip == tip) return;
        m_shown.tip = tip;
        Log();
    }
    IconHandle LoadIconFile(const std::wstring& path) override {
        IconHandle icon = m_real.LoadIconFile(path);
        std::lock_guard<std::mutex> lock(m_lock);
        if (icon) m_names[icon] = "file";
        return icon;
    }
    IconHandle LoadIconResource(kovado::UINT resource) override {
        IconHandle icon = m_real.LoadIconResource(resource);
        std::lock_guard<std::mutex> lock(m_lock);
        if (icon) m_names[icon] = std::to_string(resource);
        return icon;
    }
    void DestroyIcon(IconHandle icon) override { m_real.DestroyIcon(icon); }

private:
    void Log() {
        auto name = m_names.find(m_shown.icon);
        m_log.Line("tray shown=" + std::to_string(m_shown.added ? 1 : 0) +
                   " icon=" + (name == m_names.end() ? std::string("none") : name->second) +
                   " tip=" + kovado::ToUtf8(m_shown.tip));
    }
    struct Shown {
        bool added = false;
        IconHandle icon = 0;
        std::wstring tip;
    };
    ITray& m_real;
    LineLog& m_log;
    std::mutex m_lock;
    Shown m_shown;
    std::map<IconHandle, std::string> m_names;
};

// The real menus, with the tray menu's labels logged as it is built.
class RecordingMenus : public IMenus {
public:
    RecordingMenus(IMenus& real, LineLog& log) : m_real(real), m_log(log) {}
    MenuHandle Load(kovado::UINT resource) override { return m_real.Load(resource); }
    MenuHandle SubMenu(MenuHandle menu, int position) override {
        return m_real.SubMenu(menu, position);
    }
    void SetDefaultItem(MenuHandle menu, kovado::UINT item, bool byPosition) override {
        m_real.SetDefaultItem(menu, item, byPosition);
    }
    bool SetLabel(MenuHandle menu, kovado::UINT item, bool byPosition,
                  const std::wstring& label) override {
        bool set = m_real.SetLabel(menu, item, byPosition, label);
        m_log.Line("menu label " + std::string(byPosition ? "@" : "") + std::to_string(item) +
                   " " + kovado::ToUtf8(label));
        return set;
    }
    bool Remove(MenuHandle menu, kovado::UINT command) override {
        return m_real.Remove(menu, command);
    }
    kovado::UINT ItemCommand(MenuHandle menu, int position) override {
        return m_real.ItemCommand(menu, position);
    }
    void BringToForeground(WindowHandle window) override { m_real.BringToForeground(window); }
    void TrackAtCursor(MenuHandle popup, WindowHandle owner) override {
        m_log.Line(std::string("menu shown"));
        m_real.TrackAtCursor(popup, owner);
    }
    void Destroy(MenuHandle menu) override { m_real.Destroy(menu); }

private:
    IMenus& m_real;
    LineLog& m_log;
};

// The real HID seam, logging what the handset search sees.
class RecordingHid : public IHid {
public:
    RecordingHid(IHid& real, LineLog& log) : m_real(real), m_log(log) {}
    bool BeginEnumeration() override { return m_real.BeginEnumeration(); }
    void EndEnumeration() override { m_real.EndEnumeration(); }
    DeviceHandle OpenInterface(int index) override {
        DeviceHandle device = m_real.OpenInterface(index);
        m_log.Line("hid open " + std::to_string(index) + " " +
                   (device == 0 ? "none" : device == kInvalidDevice ? "refused" : "opened"));
        return device;
    }
    bool GetAttributes(DeviceHandle device, HidAttributes& out) override {
        bool ok = m_real.GetAttributes(device, out);
        if (ok && device != 0)
            m_log.Line("hid attributes " + Hex(out.vendorId, 4) + ":" + Hex(out.productId, 4));
        return ok;
    }
    void Close(DeviceHandle device) override { m_real.Close(device); }
    bool SetFeature(DeviceHandle device, const BYTE* report, kovado::DWORD length) override {
        return m_real.SetFeature(device, report, length);
    }
    WriteOutcome Write(DeviceHandle device, const BYTE* report, kovado::DWORD length,
                       std::uint32_t timeoutMs) override {
        return m_real.Write(device, report, length, timeoutMs);
    }
    bool Read(DeviceHandle device, BYTE* buffer, kovado::DWORD length,
              std::uint32_t timeoutMs) override {
        return m_real.Read(device, buffer, length, timeoutMs);
    }

private:
    IHid& m_real;
    LineLog& m_log;
};

// A handset of model 0x6612 at interface 0, plugged in all along. It takes
// every report and sends none of its own.
class SimulatedHandset : public IHid {
public:
    explicit SimulatedHandset(LineLog& log) : m_log(log) {}
    bool BeginEnumeration() override { return true; }
    void EndEnumeration() override {}
    DeviceHandle OpenInterface(int index) override { return index == 0 ? kHandset : 0; }
    bool GetAttributes(DeviceHandle device, HidAttributes& out) override {
        if (device != kHandset) return false;
        out = {0x0E5E, 0x6612, 0x0100};
        return true;
    }
    void Close(DeviceHandle) override {}
    bool SetFeature(DeviceHandle device, const BYTE* report, kovado::DWORD length) override {
        Report("feature", report, length);
        return device == kHandset;
    }
    WriteOutcome Write(DeviceHandle device, const BYTE* report, kovado::DWORD length,
                       std::uint32_t) override {
        Report("write", report, length);
        return device == kHandset ? WriteOutcome::Written : WriteOutcome::Failed;
    }
    // Logged once: the device loop is reading.
    bool Read(DeviceHandle, BYTE*, kovado::DWORD, std::uint32_t timeoutMs) override {
        if (!m_bReadSeen.exchange(true)) m_log.Line(std::string("hid read"));
        Sleep(timeoutMs);
        return false;
    }

private:
    static constexpr DeviceHandle kHandset = 0x6612;
    std::atomic<bool> m_bReadSeen{false};
    void Report(const char* kind, const BYTE* report, kovado::DWORD length) {
        std::string line = "hid ";
        line += kind;
        for (kovado::DWORD i = 0; i < length && i < 8; ++i) {
            line += ' ';
            line += Hex(report[i], 2);
        }
        m_log.Line(line);
    }
    LineLog& m_log;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    LineLog log(argv[1]);
    if (!log.Open()) return 2;
    bool realHid = argc > 2 && std::wstring(argv[2]) == L"--real-hid";

    Win32Platform platform;
    RecordingTray tray(platform.m_tray, log);
    RecordingHid recordedHid(platform.m_hid, log);
    SimulatedHandset handset(log);
    RecordingMenus menus(platform.m_menus, log);
    platform.m_services.tray = &tray;
    platform.m_services.menus = &menus;
    platform.m_services.hid = realHid ? static_cast<IHid*>(&recordedHid) : &handset;

    int code = kovado::RunBridgeApp(platform.m_services);
    log.Line("exit " + std::to_string(code));
    return code;
}
