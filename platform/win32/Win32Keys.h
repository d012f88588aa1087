// Synthetic key strokes on Windows (keybd_event, MapVirtualKeyA) and the
// foreground window they reach.
#pragma once
#include "platform/KeyInjector.h"

namespace kovado::platform {

class Win32Keys : public IKeyInjector {
public:
    UINT MapVirtualKey(UINT code, UINT mapType) override;
    void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags) override;
    WindowHandle FocusWindow() override;
    bool IsForeignTabbedWindow(WindowHandle window) override;
};

}  // namespace kovado::platform
