// The state of one menu entry while its menu is open; the shell implements it
// over the platform's menus.
#pragma once

namespace kovado {

struct ICommandUi {
    virtual ~ICommandUi() = default;
    virtual void SetCheck(bool checked) = 0;
    virtual void Enable(bool enabled) = 0;
};

}  // namespace kovado
