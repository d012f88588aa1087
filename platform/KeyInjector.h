// Synthetic key strokes as keybd_event and MapVirtualKeyA make them, and the
// window they land in: strokes go to whatever window has the keyboard focus.
#pragma once
#include "platform/Types.h"

namespace kovado::platform {

constexpr DWORD kKeyEventKeyUp = 0x0002;  // KEYEVENTF_KEYUP
constexpr UINT kMapVkToScan = 0;          // MAPVK_VK_TO_VSC

class IKeyInjector {
public:
    virtual ~IKeyInjector() = default;
    virtual UINT MapVirtualKey(UINT code, UINT mapType) = 0;
    // flags 0 presses the key, kKeyEventKeyUp releases it.
    virtual void KeyEvent(BYTE virtualKey, BYTE scanCode, DWORD flags) = 0;
    // The top-level window that has the keyboard focus now, 0 when none.
    virtual WindowHandle FocusWindow() = 0;
    // The window belongs to another program and holds a tab strip, as a
    // property sheet (such as the Sounds control panel) does.
    virtual bool IsForeignTabbedWindow(WindowHandle window) = 0;
    // A visible top-level window of that process holding a tab strip; 0: none.
    virtual WindowHandle FindTabbedWindowOf(DWORD processId) = 0;
    // Makes the window the foreground window with what Windows allows a
    // program that is not in the foreground itself; true when it now is.
    virtual bool BringToForeground(WindowHandle window) = 0;
    // Asks the window to close, without waiting for it.
    virtual void RequestClose(WindowHandle window) = 0;
};

}  // namespace kovado::platform
