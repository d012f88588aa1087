// Finding and losing the handset, and the supervision passes that keep the
// tray, the Skype link and the audio set-up in step with the outside world.
// Everything here runs on the supervision thread (CThread2).
#pragma once
#include <array>
#include <string>

#include "platform/Hid.h"
#include "platform/Mutex.h"
#include "platform/Registry.h"
#include "platform/Types.h"

namespace kovado {

class CBridgeView;

// Values of m_nState, each with the tray display it stands for.
enum SupervisionState : int {
    kStateUndecided = 0,  // no pass has decided yet
    kStateNoHandset = 1,
    kStateConnected = 2,  // handset open and Skype attached (or a handset just found)
    kStateNoSkype = 3,    // handset open, Skype not attached
};

// Indexes of the user texts shown as tooltips.
constexpr int kTipConnected = 0;
constexpr int kTipNoSkype = 1;
constexpr int kTipNoHandset = 2;
constexpr int kTipSkypeMissing = 3;

class CDeviceWatcher {
public:
    explicit CDeviceWatcher(CBridgeView* owner);
    virtual ~CDeviceWatcher() = default;

    // Discovery.
    platform::DeviceHandle OpenInterface(int index);
    platform::DeviceHandle FindHandset();
    void CheckDevice();

    // Supervision steps, one pass of CThread2::Run.
    BOOL CheckSkypeInstalled();
    void SuperviseOpen();
    void SearchHandset();
    void RunAudioToolOnce();
    void SetSkypeAudioDevices();

    // The icon and tooltip last chosen, read together under m_trayLock.
    void TrayState(platform::IconHandle& icon, std::wstring& tip);

    // Fields, in the order of the data model.
    std::array<BYTE, 256> m_abSkypePath{};
    std::array<BYTE, 4> m_abToolFlag{};
    DWORD m_dwPathType = 0;
    DWORD m_dwFlagType = 0;
    DWORD m_cbPath = 256;
    DWORD m_cbFlag = 4;
    platform::RegKey m_hSkypeKey = 0;
    platform::RegKey m_hProductKey = 0;
    platform::IconHandle m_hIcon = 0;  // under m_trayLock
    std::wstring m_strTip;             // under m_trayLock
    std::wstring m_strScratch;
    platform::HidAttributes m_attributes;
    int m_nState = kStateUndecided;
    CBridgeView* m_pOwner;

    // Beyond the data model: m_hIcon and m_strTip are written here and read
    // by the frame on the user-interface thread when it adds the tray icon.
    // The tray changes are made under the same lock, so a frame that reads
    // and adds under it cannot miss a change made in between.
    platform::Mutex m_trayLock;

private:
    BOOL ReadSkypePath(platform::RegRoot root, platform::RegView view);
    void ShowIcon(platform::IconHandle icon);
    void ShowTip(int textIndex);
    std::wstring UserText(int index);
    void StartStatusPoll();
    void SendSkypeUnavailable();
};

}  // namespace kovado
