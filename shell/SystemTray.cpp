#include "shell/SystemTray.h"

#include "bridge/BridgeView.h"
#include "platform/Tray.h"

namespace kovado {

void CSystemTray::ChangeIcon(platform::IconHandle icon) {
    if (m_pOwner && m_pOwner->m_pPlatform->tray) m_pOwner->m_pPlatform->tray->ChangeIcon(icon);
}

void CSystemTray::ChangeTip(const std::wstring& tip) {
    if (m_pOwner && m_pOwner->m_pPlatform->tray) m_pOwner->m_pPlatform->tray->ChangeTip(tip);
}

}  // namespace kovado
