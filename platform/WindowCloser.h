// Asking another program's top-level window to close, with the 8-bit
// character calls FindWindowA and SendMessageA.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado::platform {

class IWindowCloser {
public:
    virtual ~IWindowCloser() = default;
    // The top-level window with this title (any class), 0 when there is none.
    virtual WindowHandle Find(const std::string& title) = 0;
    // Sends WM_CLOSE and returns once the window's program has handled it and,
    // within a few seconds' bound, has ended (its files are then free).
    virtual void SendClose(WindowHandle window) = 0;
};

}  // namespace kovado::platform
