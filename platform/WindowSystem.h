// Windows, messages and timers as the core needs them. The semantics follow
// Windows: a window belongs to the thread that created it; a send to another
// thread's window blocks until that thread has handled it, and a thread that
// waits for such a send keeps handling sends addressed to its own windows.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Messages.h"
#include "platform/Types.h"

namespace kovado::platform {

class IWindowClient {
public:
    virtual ~IWindowClient() = default;
    // Called on the owning thread. Messages it does not handle return 0.
    virtual std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) = 0;
};

// What GetMessage found.
enum class Fetch { Message, Quit, TimeUp };

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;

    virtual std::uint32_t RegisterMessage(const std::wstring& name) = 0;

    // A window owned by the calling thread. parent 0 makes it top-level (only
    // top-level windows receive broadcasts and are found by title).
    virtual WindowHandle CreateWindow(IWindowClient* client, const std::wstring& title,
                                      WindowHandle parent) = 0;
    // Sends kWmDestroy to the window, then forgets it; sends still waiting for
    // it return 0.
    virtual void DestroyWindow(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    virtual WindowHandle FindWindow(const std::wstring& title) = 0;

    // Blocking send; 0 when the window does not exist. For kWmCopyData,
    // lParam points to a CopyData whose bytes are copied for the receiver.
    virtual std::intptr_t Send(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    // Sends to every top-level window in turn, each send blocking; on Win32
    // a window that is hung or does not answer within a bound is passed over.
    virtual void Broadcast(std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) = 0;
    virtual bool Post(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    // Answers the sent message being handled on this thread; the sender goes on
    // with this result. False when no other thread's send is being handled.
    virtual bool ReplyMessage(std::intptr_t result) = 0;

    // Timers fire as kWmTimer (wParam the identifier) on the window's thread.
    // Returns the identifier (nonzero; 1 for identifier 0), 0 on failure.
    virtual std::uint32_t SetTimer(WindowHandle window, std::uint32_t id,
                                   std::uint32_t periodMs) = 0;
    virtual bool KillTimer(WindowHandle window, std::uint32_t id) = 0;

    virtual void PostQuit(int exitCode) = 0;

    // Waits for the next posted message or due timer of this thread, handling
    // incoming sends meanwhile. TimeUp when untilMs (platform clock) passes first.
    virtual Fetch GetMessage(Message& out, std::uint64_t untilMs) = 0;
    virtual std::intptr_t DispatchMessage(const Message& message) = 0;
    // The exit code given to PostQuit, once GetMessage returned Quit.
    virtual int QuitCode() = 0;
};

}  // namespace kovado::platform
