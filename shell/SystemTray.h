// The tray icon. Until the notification-area seam exists this only records
// what it was asked to show.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CSystemTray {
public:
    void ChangeIcon(platform::IconHandle icon) { m_hIcon = icon; }
    void ChangeTip(const std::wstring& tip) { m_strTip = tip; }

    CBridgeView* m_pOwner = nullptr;
    platform::IconHandle m_hIcon = 0;
    std::wstring m_strTip;
};

}  // namespace kovado
