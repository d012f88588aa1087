// The audio device tool's job: open the Sounds control panel and type into it
// so that its playback and recording choices become the handset's devices.
// The Windows dialog (win32/) runs DoJob from its initialisation and then
// posts the quit request; everything here reaches Windows through the seams.
#pragma once
#include <string>
#include <vector>

#include "platform/AnsiRegistry.h"
#include "platform/AnsiWaveDevices.h"
#include "platform/Clock.h"
#include "platform/KeyInjector.h"
#include "platform/Process.h"
#include "platform/SystemInfo.h"

namespace kovado {

struct TambreloServices {
    platform::ISystemInfo* system = nullptr;
    platform::IAnsiRegistry* registry = nullptr;
    platform::IAnsiWaveDevices* wave = nullptr;
    platform::IKeyInjector* keys = nullptr;
    platform::IProcess* process = nullptr;
    platform::IClock* clock = nullptr;
};

// How long the started panel may take to come up after the start returned:
// polled every kPanelPollMs, kPanelPolls times. A panel that came up behind
// another window is brought forward up to kRaiseAttempts times, as often
// apart.
constexpr DWORD kPanelPollMs = 100;
constexpr int kPanelPolls = 50;
constexpr int kRaiseAttempts = 5;

class CTambreloDlg {
public:
    enum class Lists { Built, NothingToDo };

    explicit CTambreloDlg(const TambreloServices& services) : m_sys(services) {}

    // Opens the panel and, once it has the keyboard focus, sends the key
    // sequence of the path the Windows version selects. When a panel was to
    // be driven and the sequence did not reach it to the end, the main
    // program's flag is put back to "not yet run".
    void DoJob();

    void OpenSoundPanel();
    bool ReadDeviceNames();
    void FindDeviceIndices();
    void SelectClassic();
    void HideInactiveDevices();
    Lists BuildDeviceLists();
    void SelectFromLists();

    TambreloServices m_sys;
    std::string m_strOutName, m_strInName;
    std::string m_strOutShort, m_strInShort;
    std::vector<std::string> m_arrPlayback, m_arrRecording;
    BYTE m_nPanelMode = 1;
    // Path A: the devices' positions in the wave lists (0 also when absent,
    // which m_bOutFound / m_bInFound tell apart). Path B: the list lengths.
    UINT m_nOutNumber = 0, m_nInNumber = 0;
    bool m_bOutFound = false, m_bInFound = false;
    // The panel this run opened, while it keeps the keyboard focus; 0 when no
    // panel came up or it lost the focus, and then no further key is sent.
    platform::WindowHandle m_hPanel = 0;
    // This Windows version has a panel to drive (OpenSoundPanel).
    bool m_bPanelVersion = false;

private:
    void AwaitPanel(platform::WindowHandle focusBefore, DWORD processId);
    void RaisePanel(platform::WindowHandle panel);
    void MarkSetUpUndone();
    bool PanelHasFocus();
    void Press(BYTE virtualKey, int scanCode, DWORD pauseMs = 0);
    // The waits of a key sequence; none once the sequence has been stopped.
    void Pause(DWORD ms);
    void ChooseClassic(const std::string& name, UINT number, bool found);
    bool ChooseFromList(const std::vector<std::string>& list, const std::string& wanted);
    void SetDefaultAndMoveOn(bool chosen);
};

}  // namespace kovado
