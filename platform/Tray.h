// The notification-area icon. Changes before the icon is added do nothing.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

class ITray {
public:
    virtual ~ITray() = default;
    virtual bool Add(WindowHandle owner, IconHandle icon, const std::wstring& tip,
                     std::uint32_t callbackMessage) = 0;
    virtual void Remove() = 0;
    virtual void ChangeIcon(IconHandle icon) = 0;
    virtual void ChangeTip(const std::wstring& tip) = 0;
    // Loads an icon from a file; 0 when it cannot be loaded.
    virtual IconHandle LoadIconFile(const std::wstring& path) = 0;
    // One of the program's own icon resources, 32 x 32; 0 when it has none.
    virtual IconHandle LoadIconResource(UINT resource) = 0;
    virtual void DestroyIcon(IconHandle icon) = 0;
};

}  // namespace kovado::platform
