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
    CBridgeView& view = *m_pOwner;
    platform::IRegistry& registry = *view.m_pPlatform->registry;
    if (registry.Open(platform::RegRoot::LocalMachine, L"Software\\KOVADO",
                      platform::kKeyAllAccess, m_hProductKey) != platform::kRegOk) {
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
        // Returns once the tool first waits for input, that is when it is done.
        if (view.m_pPlatform->process)
            view.m_pPlatform->process->WinExec("Tambrelo.exe", platform::kSwHide);
        m_abToolFlag[0] = 1;
        if (registry.Set(m_hProductKey, L"Tambrelo", m_dwFlagType, m_abToolFlag.data(),
                         m_cbFlag) == platform::kRegOk)
            view.WriteLog(L"RegSetValueEx OK");
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
