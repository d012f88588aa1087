// Small stand-ins for the seams the two tools use. Key strokes, waits, window
// closes and program starts all go into one event log, so a test sees their
// order.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/AnsiRegistry.h"
#include "platform/AnsiWaveDevices.h"
#include "platform/Clock.h"
#include "platform/KeyInjector.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"
#include "platform/WindowCloser.h"

namespace kovado::fakes {

using platform::RegKey;
using platform::RegRoot;
using platform::WindowHandle;

using EventLog = std::vector<std::string>;

inline std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct RegValue {
    DWORD type = platform::kRegSz;
    std::vector<BYTE> data;
};

// A text value as the installer stores it: the characters and a NUL.
inline RegValue Text(const std::string& text) {
    RegValue value;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

// Keys under HKEY_LOCAL_MACHINE exist in a 64-bit view (which Native means)
// and a 32-bit one; m_machineRights are the rights this user holds there.
class FakeRegistry : public platform::IAnsiRegistry {
public:
    using RegView = platform::RegView;
    using KeyId = std::tuple<RegRoot, RegView, std::string>;  // path in lower case
    struct OpenKey {
        KeyId id;
        DWORD access;
    };

    std::map<KeyId, std::map<std::string, RegValue>> m_keys;
    std::map<RegKey, OpenKey> m_open;
    // "<path> <access in hex> <view>" per successful open, view "native",
    // "64" or "32".
    std::vector<std::string> m_opened;
    std::vector<std::string> m_writes;
    DWORD m_machineRights = ~DWORD{0};
    RegKey m_nextKey = 0x100;

    static KeyId Id(RegRoot root, const std::string& path, RegView view) {
        if (root == RegRoot::CurrentUser) {
            view = RegView::Native;
        } else if (view == RegView::Native) {
            view = RegView::Bits64;
        }
        return {root, view, Lower(path)};
    }
    std::map<std::string, RegValue>& Key(RegRoot root, const std::string& path,
                                         RegView view = RegView::Native) {
        return m_keys[Id(root, path, view)];
    }

    long Open(RegRoot root, const std::string& path, DWORD access, RegView view,
              RegKey& out) override {
        auto found = m_keys.find(Id(root, path, view));
        if (found == m_keys.end()) {
            return platform::kRegNotFound;
        }
        if (root == RegRoot::LocalMachine && (access & ~m_machineRights) != 0) {
            return platform::kRegAccessDenied;
        }
        out = m_nextKey++;
        m_open[out] = OpenKey{found->first, access};
        char rights[16];
        std::snprintf(rights, sizeof(rights), "0x%X", static_cast<unsigned>(access));
        const char* views[] = {"native", "64", "32"};
        m_opened.push_back(path + " " + rights + " " + views[static_cast<int>(view)]);
        return platform::kRegOk;
    }
    long Query(RegKey key, const std::string& name, DWORD& type, BYTE* data,
               DWORD& size) override {
        const OpenKey& open = m_open.at(key);
        if ((open.access & platform::kKeyQueryValue) == 0) {
            return platform::kRegAccessDenied;
        }
        auto& values = m_keys.at(open.id);
        auto found = values.find(name);
        if (found == values.end()) {
            return platform::kRegNotFound;
        }
        const RegValue& value = found->second;
        DWORD capacity = size;
        size = static_cast<DWORD>(value.data.size());
        if (size > capacity) {
            return platform::kRegMoreData;
        }
        type = value.type;
        std::copy(value.data.begin(), value.data.end(), data);
        return platform::kRegOk;
    }
    long Set(RegKey key, const std::string& name, DWORD type, const BYTE* data,
             DWORD size) override {
        const OpenKey& open = m_open.at(key);
        if ((open.access & platform::kKeySetValue) == 0) {
            return platform::kRegAccessDenied;
        }
        m_keys.at(open.id)[name] = RegValue{type, std::vector<BYTE>(data, data + size)};
        m_writes.push_back(name);
        return platform::kRegOk;
    }
    void Close(RegKey key) override { m_open.erase(key); }
};

// Device names; kUnreadable stands for a device whose capabilities cannot be read.
class FakeWave : public platform::IAnsiWaveDevices {
public:
    static constexpr const char* kUnreadable = "<unreadable>";
    std::vector<std::string> m_inputs, m_outputs;

    UINT InputCount() override { return static_cast<UINT>(m_inputs.size()); }
    bool InputName(UINT index, std::string& name) override { return Get(m_inputs, index, name); }
    UINT OutputCount() override { return static_cast<UINT>(m_outputs.size()); }
    bool OutputName(UINT index, std::string& name) override { return Get(m_outputs, index, name); }

private:
    static bool Get(const std::vector<std::string>& names, UINT index, std::string& name) {
        if (index >= names.size() || names[index] == kUnreadable) {
            return false;
        }
        name = names[index];
        return true;
    }
};

class FakeSystem : public platform::ISystemInfo {
public:
    bool m_bVersionOk = true;
    DWORD m_major = 6, m_minor = 1;
    bool m_bShiftJis = false;  // lead bytes 0x81-0x9F and 0xE0-0xFC

    bool Version(DWORD& major, DWORD& minor) override {
        major = m_major;
        minor = m_minor;
        return m_bVersionOk;
    }
    bool IsLeadByte(BYTE b) override {
        return m_bShiftJis && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
    }
};

class FakeClock : public platform::IClock {
public:
    explicit FakeClock(EventLog& log) : m_log(log) {}
    EventLog& m_log;
    std::uint64_t m_now = 0;

    std::uint64_t NowMs() override { return m_now; }
    void Sleep(std::uint32_t ms) override {
        m_now += ms;
        m_log.push_back("~" + std::to_string(ms));
    }
    LocalTime Local() override { return {}; }
    LocalTime ToLocal(std::int64_t) override { return {}; }
    int AnsiCodePage() override { return 1252; }
};

// The keyboard layout's scan codes for the keys the tool looks up.
inline BYTE LayoutScan(UINT vk) {
    switch (vk) {
        case 0x09: return 0x0F;
        case 0x0D: return 0x1C;
        case 0x27: return 0x4D;
        case 0x28: return 0x50;
        default: return static_cast<BYTE>(vk - 0x20);  // letters
    }
}

inline std::string KeyName(BYTE vk) {
    switch (vk) {
        case 0x09: return "Tab";
        case 0x0D: return "Enter";
        case 0x27: return "Right";
        case 0x28: return "Down";
        default: return std::string(1, static_cast<char>(vk));
    }
}

// Logs "+Key" for a press and "-Key" for a release; a scan code other than the
// layout's is appended as "#code". The focus is wherever the test puts it.
class FakeKeys : public platform::IKeyInjector {
public:
    static constexpr WindowHandle kUserWindow = 0x10;
    static constexpr WindowHandle kPanel = 0x20;

    explicit FakeKeys(EventLog& log) : m_log(log) {}
    EventLog& m_log;
    WindowHandle m_focus = kUserWindow;
    std::set<WindowHandle> m_tabbed{kPanel};
    int m_keyEvents = 0;
    // After this many key events the user clicks into another window.
    int m_focusLostAfter = -1;

    UINT MapVirtualKey(UINT code, UINT mapType) override {
        return mapType == platform::kMapVkToScan ? LayoutScan(code) : 0;
    }
    void KeyEvent(BYTE vk, BYTE scan, DWORD flags) override {
        std::string name = KeyName(vk);
        if (scan != LayoutScan(vk)) {
            name += "#" + std::to_string(scan);
        }
        m_log.push_back((flags == platform::kKeyEventKeyUp ? "-" : flags == 0 ? "+" : "?") + name);
        if (++m_keyEvents == m_focusLostAfter) {
            m_focus = kUserWindow;
        }
    }
    // A focus change that shows only after this many further looks.
    WindowHandle m_pendingFocus = 0;
    int m_looksBeforeFocus = 0;

    WindowHandle FocusWindow() override {
        if (m_pendingFocus != 0 && m_looksBeforeFocus-- == 0) {
            m_focus = m_pendingFocus;
            m_pendingFocus = 0;
        }
        return m_focus;
    }
    bool IsForeignTabbedWindow(WindowHandle window) override { return m_tabbed.count(window) != 0; }

    // The program last started and its window (0: none came up).
    DWORD m_startedProcess = 0;
    WindowHandle m_startedWindow = 0;
    // How many attempts to bring a window forward fail before one succeeds;
    // -1: every one fails.
    int m_raisesRefused = 0;

    WindowHandle FindTabbedWindowOf(DWORD processId) override {
        bool ours = processId != 0 && processId == m_startedProcess;
        return ours && m_tabbed.count(m_startedWindow) != 0 ? m_startedWindow : 0;
    }
    bool BringToForeground(WindowHandle window) override {
        m_log.push_back("raise");
        if (m_raisesRefused < 0 || m_raisesRefused-- > 0) {
            return false;
        }
        m_focus = window;
        return true;
    }
    void RequestClose(WindowHandle window) override {
        m_log.push_back("close " + std::to_string(window));
    }
};

// Starting a program logs "start <command> <show>"; the focus then moves to
// m_focusOnStart, seen after m_looksBeforeFocus looks at it, and the program's
// window is m_windowOnStart.
class FakeProcess : public platform::IProcess {
public:
    FakeProcess(EventLog& log, FakeKeys* keys) : m_log(log), m_pKeys(keys) {}
    EventLog& m_log;
    FakeKeys* m_pKeys;
    UINT m_result = 33;
    WindowHandle m_focusOnStart = FakeKeys::kPanel;
    int m_looksBeforeFocus = 0;
    WindowHandle m_windowOnStart = 0;
    static constexpr DWORD kProcessId = 0x700;

    UINT Start(const std::string& commandLine, UINT showCommand, DWORD& processId) override {
        UINT result = WinExec(commandLine, showCommand);
        processId = result > 31 ? kProcessId : 0;
        if (m_pKeys != nullptr && result > 31) {
            m_pKeys->m_startedProcess = kProcessId;
            m_pKeys->m_startedWindow = m_windowOnStart;
        }
        return result;
    }
    UINT WinExec(const std::string& commandLine, UINT showCommand) override {
        m_log.push_back("start " + commandLine + " " + std::to_string(showCommand));
        if (m_pKeys != nullptr && m_result > 31) {
            m_pKeys->m_pendingFocus = m_focusOnStart;
            m_pKeys->m_looksBeforeFocus = m_looksBeforeFocus;
        }
        return m_result;
    }
};

class FakeWindows : public platform::IWindowCloser {
public:
    explicit FakeWindows(EventLog& log) : m_log(log) {}
    EventLog& m_log;
    std::map<std::string, WindowHandle> m_windows;

    WindowHandle Find(const std::string& title) override {
        auto found = m_windows.find(title);
        return found == m_windows.end() ? 0 : found->second;
    }
    void SendClose(WindowHandle window) override {
        m_log.push_back("close " + std::to_string(window));
    }
};

// The log as one line, each press directly followed by its release written as
// the bare key name: "+Down -Down ~5" reads "Down ~5".
inline std::string Condense(const EventLog& log) {
    std::string out;
    for (std::size_t i = 0; i < log.size(); ++i) {
        std::string token = log[i];
        if (token[0] == '+' && i + 1 < log.size() && log[i + 1] == "-" + token.substr(1)) {
            token = token.substr(1);
            ++i;
        }
        out += (out.empty() ? "" : " ") + token;
    }
    return out;
}

}  // namespace kovado::fakes
