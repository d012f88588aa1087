// The tray icon. Until the notification-window part exists, icon and tooltip
// changes go straight to the platform's tray, which ignores them while the
// icon has not been added.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;

class CSystemTray {
public:
    void ChangeIcon(platform::IconHandle icon);
    void ChangeTip(const std::wstring& tip);

    CBridgeView* m_pOwner = nullptr;
};

}  // namespace kovado
