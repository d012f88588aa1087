#include "tools/audio/TambreloDlg.h"

#include <algorithm>
#include <array>

#include "tools/audio/AnsiNames.h"

namespace kovado {

namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr BYTE kVkTab = 0x09;
constexpr BYTE kVkReturn = 0x0D;
constexpr BYTE kVkRight = 0x27;
constexpr BYTE kVkDown = 0x28;

// Scan codes: Enter always, and Tab in the classic panel, go with fixed
// codes; every other key takes the code the keyboard layout maps it to.
constexpr int kLookUp = -1;
constexpr int kScanEnter = 156;
constexpr int kScanTabClassic = 143;

constexpr const char* kProductKey = "SOFTWARE\\KOVADO";
constexpr const char* kPanelOptionsKey = "Software\\Microsoft\\Multimedia\\Audio\\DeviceCpl";
constexpr DWORD kNameBytes = 128;

struct PanelRow {
    DWORD major, minMinor, maxMinor;
    const char* command;  // nullptr: no panel is started
    BYTE mode;
};

// By Windows version: 2000, XP, later 5.x; every other major version is the
// last row (mode 3, the list-driven path).
constexpr std::array<PanelRow, 3> kPanelRows{{
    {5, 0, 0, "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,1", 2},
    {5, 1, 1, "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,2", 1},
    {5, 2, ~DWORD{0}, nullptr, 1},
}};
constexpr PanelRow kOtherVersions{
    0, 0, 0, "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0", 3};

// Reads a text value of at most 127 bytes plus its NUL. A value that fills
// all 128 bytes without a NUL does not fit and leaves the name as it was.
void ReadName(platform::IAnsiRegistry& registry, RegKey key, const char* value, std::string& name) {
    std::array<BYTE, kNameBytes> buffer{};
    DWORD type = 0;
    DWORD size = kNameBytes;
    if (registry.Query(key, value, type, buffer.data(), size) != platform::kRegOk) {
        return;
    }
    size = std::min(size, kNameBytes);
    auto end = std::find(buffer.begin(), buffer.begin() + size, BYTE{0});
    if (end == buffer.begin() + kNameBytes) {
        return;
    }
    name.assign(buffer.begin(), end);
}

}  // namespace

void CTambreloDlg::DoJob() {
    m_nPanelMode = 1;
    OpenSoundPanel();
    // Without a panel that has the focus (nothing opened, or it could not be
    // brought forward) strokes would land in whatever window the user is
    // working in, so none are sent and no panel option is changed.
    if (m_hPanel != 0) {
        if (m_nPanelMode == 3) {
            SelectFromLists();
        } else {
            SelectClassic();
        }
    }
    // m_hPanel is cleared as soon as the panel loses the focus: it still
    // holds the panel only when every stroke reached it.
    if (m_bPanelVersion && m_hPanel == 0) {
        MarkSetUpUndone();
    }
}

void CTambreloDlg::OpenSoundPanel() {
    DWORD major = 0;
    DWORD minor = 0;
    if (!m_sys.system->Version(major, minor)) {
        major = minor = 0;
    }
    const PanelRow* row = &kOtherVersions;
    for (const PanelRow& candidate : kPanelRows) {
        if (major == candidate.major && minor >= candidate.minMinor &&
            minor <= candidate.maxMinor) {
            row = &candidate;
        }
    }
    m_nPanelMode = row->mode;
    m_hPanel = 0;
    m_bPanelVersion = row->command != nullptr;
    if (!m_bPanelVersion) {
        return;
    }
    platform::WindowHandle focusBefore = m_sys.keys->FocusWindow();
    DWORD processId = 0;
    if (m_sys.process->Start(row->command, platform::kSwShow, processId) > 31) {
        AwaitPanel(focusBefore, processId);
    }
}

void CTambreloDlg::AwaitPanel(platform::WindowHandle focusBefore, DWORD processId) {
    // The start returns once the new program waits for input; the panel counts
    // as open when a window that was not focused before, belongs to another
    // program and is a tabbed property sheet has the focus. An error box shown
    // instead of a panel has no tab strip.
    for (int poll = 0; poll < kPanelPolls; ++poll) {
        platform::WindowHandle focus = m_sys.keys->FocusWindow();
        if (focus != 0 && focus != focusBefore && m_sys.keys->IsForeignTabbedWindow(focus)) {
            m_hPanel = focus;
            return;
        }
        // Started from a program in the background, the panel is kept behind
        // the user's window by the foreground lock.
        if (platform::WindowHandle behind = m_sys.keys->FindTabbedWindowOf(processId)) {
            RaisePanel(behind);
            return;
        }
        m_sys.clock->Sleep(kPanelPollMs);
    }
}

void CTambreloDlg::RaisePanel(platform::WindowHandle panel) {
    for (int attempt = 0; attempt < kRaiseAttempts; ++attempt) {
        if (m_sys.keys->BringToForeground(panel) && m_sys.keys->FocusWindow() == panel) {
            m_hPanel = panel;
            return;
        }
        m_sys.clock->Sleep(kPanelPollMs);
    }
    // It would get no key behind the user's window, and left open there it
    // would look like work half done.
    m_sys.keys->RequestClose(panel);
}

void CTambreloDlg::MarkSetUpUndone() {
    RegKey key = 0;
    if (m_sys.registry->Open(RegRoot::LocalMachine, kProductKey,
                             platform::kKeyQueryValue | platform::kKeySetValue,
                             platform::RegView::Bits64, key) != platform::kRegOk) {
        return;
    }
    // The main program set the first byte to 1 before it started the tool;
    // 0 makes it start the tool again with the next handset.
    std::array<BYTE, 4> flag{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(flag.size());
    if (m_sys.registry->Query(key, "Tambrelo", type, flag.data(), size) == platform::kRegOk &&
        size >= 1 && flag[0] != 0) {
        flag[0] = 0;
        m_sys.registry->Set(key, "Tambrelo", type, flag.data(), size);
    }
    m_sys.registry->Close(key);
}

bool CTambreloDlg::ReadDeviceNames() {
    RegKey key = 0;
    // Reading is all a user without administrator rights may do here.
    if (m_sys.registry->Open(RegRoot::LocalMachine, kProductKey, platform::kKeyRead,
                             platform::RegView::Bits64, key) != platform::kRegOk) {
        return false;
    }
    ReadName(*m_sys.registry, key, "DefaultInDevice", m_strInName);
    ReadName(*m_sys.registry, key, "DefaultOutDevice", m_strOutName);
    m_sys.registry->Close(key);
    return true;
}

void CTambreloDlg::FindDeviceIndices() {
    auto find = [this](UINT count, auto nameOf, const std::string& wanted, UINT& number,
                       bool& found) {
        number = 0;
        found = false;
        if (wanted.empty()) {
            return;
        }
        for (UINT i = 0; i < count; ++i) {
            std::string name;
            if ((m_sys.wave->*nameOf)(i, name) && EqualNoCase(name, wanted, *m_sys.system)) {
                number = i;
                found = true;
                return;
            }
        }
    };
    find(m_sys.wave->InputCount(), &platform::IAnsiWaveDevices::InputName, m_strInName, m_nInNumber,
         m_bInFound);
    find(m_sys.wave->OutputCount(), &platform::IAnsiWaveDevices::OutputName, m_strOutName,
         m_nOutNumber, m_bOutFound);
}

void CTambreloDlg::SelectClassic() {
    ReadDeviceNames();
    FindDeviceIndices();
    ChooseClassic(m_strOutName, m_nOutNumber, m_bOutFound);
    for (int i = 0; i < 3; ++i) {
        Press(kVkTab, kScanTabClassic, 1);
    }
    ChooseClassic(m_strInName, m_nInNumber, m_bInFound);
    Press(kVkReturn, kScanEnter);
}

void CTambreloDlg::ChooseClassic(const std::string& name, UINT number, bool found) {
    // A device that is not connected is not chosen: its first letter or the
    // first position would pick some other device.
    if (!found) {
        return;
    }
    if (IsAsciiLetter(name[0])) {
        char upper = (name[0] >= 'a') ? static_cast<char>(name[0] - ('a' - 'A')) : name[0];
        Press(static_cast<BYTE>(upper), kLookUp);
        return;
    }
    for (UINT i = 0; i < number; ++i) {
        Press(kVkDown, kLookUp);
    }
}

void CTambreloDlg::HideInactiveDevices() {
    RegKey key = 0;
    if (m_sys.registry->Open(RegRoot::CurrentUser, kPanelOptionsKey,
                             platform::kKeyQueryValue | platform::kKeySetValue,
                             platform::RegView::Native, key) != platform::kRegOk) {
        return;
    }
    for (const char* option : {"ShowDisconnectedDevices", "ShowHiddenDevices"}) {
        std::array<BYTE, 4> value{};
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(value.size());
        if (m_sys.registry->Query(key, option, type, value.data(), size) == platform::kRegOk &&
            size >= 1 && value[0] == 1) {
            value[0] = 0;
            m_sys.registry->Set(key, option, type, value.data(), size);
        }
    }
    m_sys.registry->Close(key);
}

CTambreloDlg::Lists CTambreloDlg::BuildDeviceLists() {
    m_arrRecording.clear();
    m_arrPlayback.clear();
    auto build = [this](UINT count, auto nameOf, std::vector<std::string>& list,
                        const std::string* nothingToDoIf) {
        for (UINT i = 0; i < count; ++i) {
            std::string name;
            if (!(m_sys.wave->*nameOf)(i, name)) {
                name.clear();
            }
            std::string shortName = ShortDeviceName(name);
            if (i == 0) {
                if (nothingToDoIf != nullptr &&
                    EqualNoCase(shortName, *nothingToDoIf, *m_sys.system)) {
                    return false;
                }
                list.push_back(shortName);
            } else if (shortName != list.back()) {
                list.push_back(shortName);
            }
        }
        std::stable_sort(list.begin(), list.end(),
                         [this](const std::string& a, const std::string& b) {
                             return CompareNoCase(a, b, *m_sys.system) < 0;
                         });
        return true;
    };
    if (!build(m_sys.wave->InputCount(), &platform::IAnsiWaveDevices::InputName, m_arrRecording,
               &m_strInShort)) {
        return Lists::NothingToDo;
    }
    build(m_sys.wave->OutputCount(), &platform::IAnsiWaveDevices::OutputName, m_arrPlayback,
          nullptr);
    m_nInNumber = static_cast<UINT>(m_arrRecording.size());
    m_nOutNumber = static_cast<UINT>(m_arrPlayback.size());
    return Lists::Built;
}

void CTambreloDlg::SelectFromLists() {
    HideInactiveDevices();
    ReadDeviceNames();
    m_strInShort = ShortDeviceName(m_strInName);
    m_strOutShort = ShortDeviceName(m_strOutName);
    if (BuildDeviceLists() == Lists::NothingToDo) {
        Press(kVkReturn, kScanEnter);
        return;
    }
    SetDefaultAndMoveOn(ChooseFromList(m_arrPlayback, m_strOutShort));
    for (int i = 0; i < 4; ++i) {
        Press(kVkTab, kLookUp);
    }
    Press(kVkRight, kLookUp);
    Press(kVkTab, kLookUp);
    SetDefaultAndMoveOn(ChooseFromList(m_arrRecording, m_strInShort));
    Press(kVkTab, kLookUp);
    Press(kVkTab, kLookUp);
    Press(kVkReturn, kScanEnter);
}

bool CTambreloDlg::ChooseFromList(const std::vector<std::string>& list, const std::string& wanted) {
    // Walking the list ends on the wanted entry. Without one (no name, or the
    // device is not connected) the walk would end on the last entry and make
    // an unrelated device the default, so nothing is chosen.
    auto match = std::find_if(list.begin(), list.end(), [&](const std::string& entry) {
        return EqualNoCase(entry, wanted, *m_sys.system);
    });
    if (wanted.empty() || match == list.end()) {
        return false;
    }
    for (auto entry = list.begin(); entry != match + 1; ++entry) {
        Press(kVkDown, kLookUp);
    }
    return true;
}

void CTambreloDlg::SetDefaultAndMoveOn(bool chosen) {
    // Two Tabs reach the button that makes the chosen entry the default. When
    // nothing was chosen that button is left alone, but the Tabs are still
    // sent so that the rest of the walk through the panel stays in step.
    Press(kVkTab, kLookUp);
    Press(kVkTab, kLookUp);
    if (chosen) {
        Press(kVkReturn, kScanEnter);
    }
    Pause(5);
}

bool CTambreloDlg::PanelHasFocus() {
    if (m_hPanel != 0 && m_sys.keys->FocusWindow() != m_hPanel) {
        m_hPanel = 0;
    }
    return m_hPanel != 0;
}

void CTambreloDlg::Press(BYTE virtualKey, int scanCode, DWORD pauseMs) {
    // Checked before each press: once the panel has lost the focus the rest of
    // the sequence would go elsewhere. A press always gets its release.
    if (!PanelHasFocus()) {
        return;
    }
    auto scan = [&]() -> BYTE {
        if (scanCode != kLookUp) {
            return static_cast<BYTE>(scanCode);
        }
        return static_cast<BYTE>(m_sys.keys->MapVirtualKey(virtualKey, platform::kMapVkToScan));
    };
    m_sys.keys->KeyEvent(virtualKey, scan(), 0);
    Pause(pauseMs);
    m_sys.keys->KeyEvent(virtualKey, scan(), platform::kKeyEventKeyUp);
    Pause(pauseMs);
}

void CTambreloDlg::Pause(DWORD ms) {
    if (ms != 0 && m_hPanel != 0) {
        m_sys.clock->Sleep(ms);
    }
}

}  // namespace kovado
