// Dialogs from the program's resources. A dialog belongs to the thread that
// creates it; its client sees kWmInitDialog (wParam: the dialog's window)
// before the dialog is first shown, then kWmCommand for its buttons, Esc and
// the close box (identifier 2). Controls are driven by sending them their
// window messages (kWmSetText, the list box messages, kStmSetIcon).
#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "platform/WindowSystem.h"

namespace kovado::platform {

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // A modeless dialog, top-level, shown as its template says; 0 on failure.
    virtual WindowHandle CreateModeless(UINT resource, IWindowClient* client) = 0;
    // A modal dialog: returns the result given to End, or -1 when it could not
    // be shown.
    virtual std::intptr_t RunModal(UINT resource, IWindowClient* client) = 0;
    // Ends a modal dialog, or destroys a modeless one.
    virtual void End(WindowHandle dialog, std::intptr_t result) = 0;
    virtual WindowHandle Item(WindowHandle dialog, UINT id) = 0;
    virtual void Show(WindowHandle window, bool visible) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;

    // The save-file chooser: no initial name, no filter, no default extension,
    // asks before overwriting. false when the user did not confirm.
    virtual bool AskSavePath(std::wstring& path) = 0;
    virtual void ShowError(WindowHandle owner, const std::wstring& text) = 0;
};

}  // namespace kovado::platform
