// Dialogs from the program's resources on the Win32 dialog manager. A list
// box's scrolling width follows its longest line as lines arrive, so a
// horizontal scroll bar reaches the end of every line.
#pragma once
#include "platform/Dialogs.h"

namespace kovado::platform {

// The title of ShowError's box.
inline constexpr wchar_t kErrorBoxTitle[] = L"KovadoDeskLink debug log";

class Win32Dialogs : public IDialogs {
public:
    WindowHandle CreateModeless(UINT resource, IWindowClient* client) override;
    std::intptr_t RunModal(UINT resource, IWindowClient* client) override;
    void End(WindowHandle dialog, std::intptr_t result) override;
    WindowHandle Item(WindowHandle dialog, UINT id) override;
    void Show(WindowHandle window, bool visible) override;
    bool IsVisible(WindowHandle window) override;
    bool AskSavePath(std::wstring& path) override;
    void ShowError(WindowHandle owner, const std::wstring& text) override;
};

// True for a window of the dialog class; the message loop lets such a window
// see its keyboard messages first (Tab, Esc, Enter).
bool IsDialogWindow(WindowHandle window);

}  // namespace kovado::platform
