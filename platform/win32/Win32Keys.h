// Synthetic key strokes on Windows (keybd_event, MapVirtualKeyA), the
// foreground window they reach, and the means of bringing a window there.
#pragma once
#include "platform/KeyInjector.h"

namespace kovado::platform {

class Win32Keys : public IKeyInjector {
public:
    UINT MapVirtualKey(UINT code, UINT mapType) override;
    void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags) override;
    WindowHandle FocusWindow() override;
    bool IsForeignTabbedWindow(WindowHandle window) override;
    WindowHandle FindTabbedWindowOf(DWORD processId) override;
    bool BringToForeground(WindowHandle window) override;
    void RequestClose(WindowHandle window) override;
};

}  // namespace kovado::platform
