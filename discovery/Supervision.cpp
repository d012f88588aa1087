// The supervision steps: is Skype installed, is the handset there, is Skype
// attached; the tray shows the answer.
#include <mutex>

#include "bridge/BridgeView.h"
#include "display/DisplayRenderer.h"
#include "settings/Settings.h"
#include "discovery/DeviceWatcher.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {

namespace {
constexpr std::uint32_t kStatusPeriodMs = 2000;
}

void CDeviceWatcher::TrayState(platform::IconHandle& icon, std::wstring& tip) {
    std::lock_guard<platform::Mutex> lock(m_trayLock);
    icon = m_hIcon;
    tip = m_strTip;
}

// The user texts are rewritten by a language switch on the user-interface
// thread: read a copy under the settings lock.
std::wstring CDeviceWatcher::UserText(int index) { return kovado::UserText(*m_pOwner, index); }

void CDeviceWatcher::ShowIcon(platform::IconHandle icon) {
    std::lock_guard<platform::Mutex> lock(m_trayLock);
    m_pOwner->m_tray.ChangeIcon(icon);
    m_hIcon = icon;
}

// Set on every pass, so a language switch reaches the tooltip within one pass.
void CDeviceWatcher::ShowTip(int textIndex) {
    std::wstring tip = UserText(textIndex);
    std::lock_guard<platform::Mutex> lock(m_trayLock);
    m_pOwner->m_tray.ChangeTip(tip);
    m_strTip = std::move(tip);
}

// Skype counts as installed when its path value can be read; its content is
// not used. A value too long for the buffer counts as absent.
BOOL CDeviceWatcher::ReadSkypePath(platform::RegRoot root) {
    platform::IRegistry& registry = *m_pOwner->m_pPlatform->registry;
    // Only read: a user without administrator rights may open the key this way.
    if (registry.Open(root, L"Software\\Skype\\Phone", platform::kKeyRead, m_hSkypeKey) !=
        platform::kRegOk) {
        m_hSkypeKey = 0;
        return 0;
    }
    m_cbPath = static_cast<DWORD>(m_abSkypePath.size());
    long result =
        registry.Query(m_hSkypeKey, L"SkypePath", m_dwPathType, m_abSkypePath.data(), m_cbPath);
    registry.Close(m_hSkypeKey);
    m_hSkypeKey = 0;
    return result == platform::kRegOk;
}

BOOL CDeviceWatcher::CheckSkypeInstalled() {
    if (ReadSkypePath(platform::RegRoot::CurrentUser)) return 1;
    if (ReadSkypePath(platform::RegRoot::LocalMachine)) return 1;
    // Shown without changing m_nState: once Skype is back the state (and so
    // the icon) stays until it next changes; the tooltip follows every pass.
    ShowIcon(m_pOwner->m_hIconSkypeMissing);
    ShowTip(kTipSkypeMissing);
    return 0;
}

void CDeviceWatcher::SuperviseOpen() {
    CBridgeView& view = *m_pOwner;
    if (view.m_hSkypeWnd != 0) {
        if (m_nState != kStateConnected) {
            ShowIcon(view.m_hIconOk);
            m_nState = kStateConnected;
            StartStatusPoll();
            SetSkypeAudioDevices();
        }
        ShowTip(kTipConnected);
        return;
    }
    if (m_nState != kStateNoSkype) {
        ShowIcon(view.m_hIconSkypeFail);
        m_nState = kStateNoSkype;
        if (view.m_nProductId == kModel6621) {
            view.m_bStatusRefresh = 1;
            view.WriteStatusQuery();
        }
        SendSkypeUnavailable();
    }
    // Returns once every top-level window has handled it or been passed over
    // as not answering; a running Skype client answers with the attach message.
    view.m_pPlatform->windows->Broadcast(view.m_nMsgDiscover, view.m_hWnd, 0);
    ShowTip(kTipNoSkype);
}

void CDeviceWatcher::SearchHandset() {
    CBridgeView& view = *m_pOwner;
    platform::DeviceHandle found = FindHandset();
    view.m_hDevice = found;  // published after the model set-up
    if (found != 0) {
        RunAudioToolOnce();
        if (m_nState != kStateConnected) {
            ShowIcon(view.m_hIconOk);
            m_nState = kStateConnected;
            if (view.m_hSkypeWnd != 0) StartStatusPoll();
            SetSkypeAudioDevices();
        }
        ShowTip(kTipConnected);
        return;
    }
    if (m_nState != kStateNoHandset) {
        ShowIcon(view.m_hIconUsbFail);
        m_nState = kStateNoHandset;
    }
    ShowTip(kTipNoHandset);
}

// Started on entering the connected state, once: supervision never stops the
// timer (the handset's variant request does).
void CDeviceWatcher::StartStatusPoll() {
    CBridgeView& view = *m_pOwner;
    if (view.m_nStatusTimer != 0) return;
    if (view.m_nProductId == kModel6621) {
        // No timer for this model: the refresh flag sends the next status reply
        // on to the handset.
        view.m_bStatusRefresh = 1;
        view.SendSkypeCommand(L"get userstatus", kModeNoReply, 1);
        view.m_pPlatform->clock->Sleep(10);
        return;
    }
    view.SendSkypeCommand(L"get userstatus", kModeNoReply, 1);
    view.m_pPlatform->clock->Sleep(10);
    view.m_nStatusTimer = view.m_pPlatform->windows->SetTimer(view.m_hWnd, kStatusTimerId,
                                                              kStatusPeriodMs);
}

// Tells the handset that Skype is not available (UserStatus 16 01 B3).
void CDeviceWatcher::SendSkypeUnavailable() { m_pOwner->m_pRenderer->SendUserStatus(0xFF); }

}  // namespace kovado
