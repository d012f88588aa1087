// The tray icon's record and its notification window.
#include "shell/SystemTray.h"

#include <mutex>

#include "bridge/BridgeView.h"
#include "platform/Tray.h"
#include "shell/NestedLoop.h"

namespace kovado {

CSystemTray::~CSystemTray() {
    RemoveFromTray();
    if (m_hWnd && m_pServices && m_pServices->windows->IsWindow(m_hWnd))
        m_pServices->windows->DestroyWindow(m_hWnd);
}

bool CSystemTray::AddToTray(platform::WindowHandle parent, UINT callbackMessage,
                            const std::wstring& tip, platform::IconHandle icon, UINT id) {
    m_pServices = m_pOwner->m_pPlatform;
    platform::IWindowSystem& windows = *m_pServices->windows;
    if (!m_pServices->tray) return false;
    if (m_hWnd == 0) {
        m_hWnd = windows.CreateWindow(this, L"", 0);
        if (m_hWnd == 0) return false;
        // Explorer broadcasts this to every top-level window after it restarted.
        m_nTaskbarCreated = windows.RegisterMessage(L"TaskbarCreated");
    }
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_hRecordWnd = parent != 0 ? parent : m_hWnd;
    m_uIconId = id;
    m_uCallbackMessage = callbackMessage;
    m_hIcon = icon;
    m_strTip = tip;
    NestedLoop waiting;  // the shell is sent the icon; see AddAgain
    m_bAdded = m_pServices->tray->Add(m_hRecordWnd, icon, tip, callbackMessage) ? 1 : 0;
    return m_bAdded != 0;
}

void CSystemTray::RemoveFromTray() {
    if (!m_bAdded || !m_pServices) return;
    m_pServices->tray->Remove();
    m_bAdded = 0;
}

void CSystemTray::ChangeIcon(platform::IconHandle icon) {
    platform::ITray* tray = m_pOwner ? m_pOwner->m_pPlatform->tray : nullptr;
    if (!tray) return;
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_hIcon = icon;
    tray->ChangeIcon(icon);
}

void CSystemTray::ChangeTip(const std::wstring& tip) {
    platform::ITray* tray = m_pOwner ? m_pOwner->m_pPlatform->tray : nullptr;
    if (!tray) return;
    std::lock_guard<platform::Mutex> lock(m_lock);
    m_strTip = tip;
    tray->ChangeTip(tip);
}

// A restarted shell has forgotten the icon: it is added again as it is now.
void CSystemTray::AddAgain() {
    if (!m_bAdded) return;
    std::lock_guard<platform::Mutex> lock(m_lock);
    // The shell is sent the icon and waited for; a close request handled
    // meanwhile must leave this object, and its lock, alone.
    NestedLoop waiting;
    m_pServices->tray->Add(m_hRecordWnd, m_hIcon, m_strTip, m_uCallbackMessage);
}

std::intptr_t CSystemTray::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    if (message == m_uCallbackMessage && m_uCallbackMessage != 0)
        return HandleTrayMessage(wParam, lParam);
    if (message == m_nTaskbarCreated && m_nTaskbarCreated != 0) AddAgain();
    return 0;
}

}  // namespace kovado
