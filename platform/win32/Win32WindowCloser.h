// Closing another program's window on Windows (FindWindowA, SendMessageA) and
// waiting for that program to end.
#pragma once
#include "platform/WindowCloser.h"

namespace kovado::platform {

// How long SendClose waits for the program to end after it handled the close.
constexpr DWORD kProgramEndWaitMs = 10000;

class Win32WindowCloser : public IWindowCloser {
public:
    WindowHandle Find(const std::string& title) override;
    void SendClose(WindowHandle window) override;
};

}  // namespace kovado::platform
