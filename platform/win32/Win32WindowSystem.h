// Windows, messages and timers on the real Win32 window manager. Every window
// is of one private window class whose procedure hands the messages the core
// deals in to the window's IWindowClient and leaves the rest to the default
// processing.
#pragma once
#include "platform/WindowSystem.h"

namespace kovado::platform {

class Win32WindowSystem : public IWindowSystem {
public:
    // How long a broadcast waits for each window at most.
    static constexpr unsigned kBroadcastWaitMs = 200;

    std::uint32_t RegisterMessage(const std::wstring& name) override;
    WindowHandle CreateWindow(IWindowClient* client, const std::wstring& title,
                              WindowHandle parent) override;
    void DestroyWindow(WindowHandle window) override;
    bool IsWindow(WindowHandle window) override;
    WindowHandle FindWindow(const std::wstring& title) override;
    std::intptr_t Send(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    void Broadcast(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool Post(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    bool ReplyMessage(std::intptr_t result) override;
    std::uint32_t SetTimer(WindowHandle window, std::uint32_t id, std::uint32_t periodMs) override;
    bool KillTimer(WindowHandle window, std::uint32_t id) override;
    void PostQuit(int exitCode) override;
    Fetch GetMessage(Message& out, std::uint64_t untilMs) override;
    std::intptr_t DispatchMessage(const Message& message) override;
    int QuitCode() override;
};

// True for the messages a window's client answers itself; every other message
// gets the default window processing.
bool IsClientMessage(std::uint32_t message);

}  // namespace kovado::platform
