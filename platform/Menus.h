// Popup menus from the program's resources, as the tray menu uses them. Items
// are named by command identifier or by position; a search by command also
// looks inside submenus.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

using MenuHandle = std::uintptr_t;  // 0: none

class IMenus {
public:
    virtual ~IMenus() = default;

    // 0 when the program has no such menu resource.
    virtual MenuHandle Load(UINT resource) = 0;
    // The submenu that the item at position opens; 0 when it opens none.
    virtual MenuHandle SubMenu(MenuHandle menu, int position) = 0;
    virtual void SetDefaultItem(MenuHandle menu, UINT item, bool byPosition) = 0;
    // Replaces an item's label only: its command, submenu and state stay.
    virtual bool SetLabel(MenuHandle menu, UINT item, bool byPosition,
                          const std::wstring& label) = 0;
    virtual bool Remove(MenuHandle menu, UINT command) = 0;
    // The command of the item at position; ~0u for a submenu or no item.
    virtual UINT ItemCommand(MenuHandle menu, int position) = 0;
    virtual void BringToForeground(WindowHandle window) = 0;
    // Shows the popup at the cursor and returns when it has closed; the chosen
    // command, if any, reaches owner as kWmCommand, and while it is open the
    // owner is asked for the state of its items.
    virtual void TrackAtCursor(MenuHandle popup, WindowHandle owner) = 0;
    virtual void Destroy(MenuHandle menu) = 0;
};

}  // namespace kovado::platform
