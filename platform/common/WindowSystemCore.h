// The window system, the clock and the threads of the POSIX backend and the
// simulation, written once over a Scheduler.
#pragma once
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Threads.h"
#include "platform/WindowSystem.h"
#include "platform/common/Scheduler.h"

namespace kovado::platform {

class WindowSystemCore : public IWindowSystem, public IThreads {
public:
    explicit WindowSystemCore(Scheduler& scheduler);
    ~WindowSystemCore() override;

    // IWindowSystem
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

    // Posts a message that becomes visible at the given time (simulated peers
    // use it to act at chosen moments).
    void PostAt(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                std::intptr_t lParam, std::uint64_t atMs);

    // IThreads
    ThreadId Start(std::function<void()> body) override;
    void Join(ThreadId thread) override;

    // Runs the calling thread's message loop until the quit request or untilMs.
    // Returns false when the quit request ended it.
    bool Pump(std::uint64_t untilMs);

private:
    struct Sent {
        WindowHandle to = 0;
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        CopyData copy;
        std::vector<unsigned char> bytes;
        bool done = false;
        std::intptr_t result = 0;
    };
    struct Window {
        IWindowClient* client = nullptr;
        ThreadId owner = 0;
        std::wstring title;
        WindowHandle parent = 0;
    };
    struct Timer {
        WindowHandle window = 0;
        std::uint32_t id = 0;
        std::uint32_t period = 0;
        std::uint64_t due = 0;
    };
    struct Delayed {
        std::uint64_t at = 0;
        std::uint64_t seq = 0;
        Message message;
    };
    struct ThreadQueue {
        std::deque<std::shared_ptr<Sent>> incoming;
        std::deque<Message> posted;
        std::vector<Delayed> delayed;
        std::vector<std::shared_ptr<Sent>> handling;  // sends being handled, innermost last
        bool quit = false;
        int quitCode = 0;
        // Bumped when a timer or delayed post is added, so a waiting thread
        // looks at its deadline again.
        std::uint64_t schedule = 0;
    };

    ThreadQueue& QueueOf(ThreadId thread);  // state lock held
    Window* Find(WindowHandle window);      // state lock held
    // Handles one incoming send of the calling thread; lock held, released during the call.
    void HandleIncoming(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);
    std::uint64_t NextDue(ThreadId thread, const ThreadQueue& queue);  // state lock held
    std::intptr_t CallClient(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);

    Scheduler& m_sched;
    std::map<std::wstring, std::uint32_t> m_registered;
    std::map<WindowHandle, Window> m_windows;
    std::vector<WindowHandle> m_topLevelOrder;
    std::vector<Timer> m_timers;
    std::map<ThreadId, ThreadQueue> m_queues;
    WindowHandle m_nextWindow = 0x10010;
    std::uint64_t m_delayedSeq = 0;
};

}  // namespace kovado::platform
