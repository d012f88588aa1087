// Popup menus from the program's resources on the Win32 menu calls.
#pragma once
#include "platform/Menus.h"

namespace kovado::platform {

class Win32Menus : public IMenus {
public:
    MenuHandle Load(UINT resource) override;
    MenuHandle SubMenu(MenuHandle menu, int position) override;
    void SetDefaultItem(MenuHandle menu, UINT item, bool byPosition) override;
    bool SetLabel(MenuHandle menu, UINT item, bool byPosition, const std::wstring& label) override;
    bool Remove(MenuHandle menu, UINT command) override;
    UINT ItemCommand(MenuHandle menu, int position) override;
    void BringToForeground(WindowHandle window) override;
    void TrackAtCursor(MenuHandle popup, WindowHandle owner) override;
    void Destroy(MenuHandle menu) override;
};

}  // namespace kovado::platform
