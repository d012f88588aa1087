// The handset's sound device: made the Windows default once per installation
// by the audio tool, and named to Skype on every change into the connected
// state.
#include <cstdio>

#include "bridge/BridgeView.h"
#include "discovery/DeviceWatcher.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/WaveDevices.h"

namespace kovado {

void CDeviceWatcher::RunAudioToolOnce() {
    using platform::RegRoot;
    using platform::RegView;
    CBridgeView& view = *m_pOwner;
    platform::IRegistry& registry = *view.m_pPlatform->registry;
    // Exactly the rights the flag needs: a UAC session never gets all access
    // to a machine key. Where the installation did not let this user change
    // the flag, it is still read; its write is then refused and logged.
    long opened = registry.Open(RegRoot::LocalMachine, L"Software\\KOVADO",
                                platform::kKeyQueryValue | platform::kKeySetValue,
                                RegView::Bits64, m_hProductKey);
    if (opened == platform::kRegAccessDenied)
        opened = registry.Open(RegRoot::LocalMachine, L"Software\\KOVADO",
                               platform::kKeyQueryValue, RegView::Bits64, m_hProductKey);
    if (opened != platform::kRegOk) {
        m_hProductKey = 0;
        return;
    }
    m_cbFlag = static_cast<DWORD>(m_abToolFlag.size());
    long read = registry.Query(m_hProductKey, L"Tambrelo", m_dwFlagType, m_abToolFlag.data(),
                               m_cbFlag);
    // An empty value has no first byte to test (the buffer would hold a stale one).
    if (read != platform::kRegOk || m_cbFlag == 0) {
        registry.Close(m_hProductKey);
        m_hProductKey = 0;
        return;
    }
    wchar_t hex[4];
    std::swprintf(hex, 4, L"%02x", static_cast<unsigned>(m_abToolFlag[0]));
    m_strScratch = hex;
    m_strScratch += L" AudioDeviceRegValue";
    view.WriteLog(m_strScratch);
    if (m_abToolFlag[0] == 0) {
        // Written before the start: a tool that cannot make the panel usable
        // puts the first byte back to 0 while it runs, and its word must be
        // the last, so that the next connection tries again.
        m_abToolFlag[0] = 1;
        long written =
            registry.Set(m_hProductKey, L"Tambrelo", m_dwFlagType, m_abToolFlag.data(), m_cbFlag);
        // Returns once the tool first waits for input, that is when it is done.
        if (view.m_pPlatform->process)
            view.m_pPlatform->process->WinExec("Tambrelo.exe", platform::kSwHide);
        if (written == platform::kRegOk) {
            view.WriteLog(L"RegSetValueEx OK");
        } else {
            wchar_t line[48];
            std::swprintf(line, 48, L"RegSetValueEx failed %ld", written);
            view.WriteLog(line);
        }
    }
    registry.Close(m_hProductKey);
    m_hProductKey = 0;
}

namespace {
std::wstring AsciiUpper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}
}  // namespace

// The highest-numbered recording device with "USB" in its name; a USB handset
// reports one name for recording and playback, so it serves both directions.
void CDeviceWatcher::SetSkypeAudioDevices() {
    CBridgeView& view = *m_pOwner;
    platform::IWaveDevices* wave = view.m_pPlatform->wave;
    if (!wave) return;
    for (UINT i = wave->InputCount(); i-- > 0;) {
        std::wstring name;
        if (!wave->InputName(i, name) || !Contains(AsciiUpper(name), L"USB")) continue;
        view.SendSkypeCommand(L"SET AUDIO_IN " + name, kModeNoReply, 1);
        view.SendSkypeCommand(L"SET AUDIO_OUT " + name, kModeNoReply, 1);
        return;
    }
}

}  // namespace kovado
