#include "platform/common/WindowSystemCore.h"
#include "platform/Mutex.h"

#include <algorithm>

namespace kovado::platform {

WindowSystemCore::WindowSystemCore(Scheduler& scheduler) : m_sched(scheduler) {}

WindowSystemCore::~WindowSystemCore() = default;

std::uint32_t WindowSystemCore::RegisterMessage(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto it = m_registered.find(name);
    if (it != m_registered.end()) return it->second;
    std::uint32_t id = 0xC000 + static_cast<std::uint32_t>(m_registered.size());
    m_registered.emplace(name, id);
    return id;
}

WindowSystemCore::ThreadQueue& WindowSystemCore::QueueOf(ThreadId thread) {
    return m_queues[thread];
}

WindowSystemCore::Window* WindowSystemCore::Find(WindowHandle window) {
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : &it->second;
}

WindowHandle WindowSystemCore::CreateWindow(IWindowClient* client, const std::wstring& title,
                                            WindowHandle parent) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    if (parent != 0 && !Find(parent)) return 0;
    WindowHandle handle = m_nextWindow;
    m_nextWindow += 4;
    m_windows[handle] = Window{client, m_sched.Current(), title, parent};
    if (parent == 0) m_topLevelOrder.push_back(handle);
    return handle;
}

void WindowSystemCore::DestroyWindow(WindowHandle window) {
    if (!IsWindow(window)) return;
    CallClient(window, kWmDestroy, 0, 0);
    std::vector<WindowHandle> children;
    {
        std::lock_guard<std::mutex> lock(m_sched.StateLock());
        for (auto& [handle, w] : m_windows)
            if (w.parent == window) children.push_back(handle);
    }
    for (WindowHandle child : children) DestroyWindow(child);

    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    Window* w = Find(window);
    if (!w) return;
    ThreadQueue& queue = QueueOf(w->owner);
    for (auto& sent : queue.incoming) {
        if (sent->to == window && !sent->done) {
            sent->done = true;
            sent->result = 0;
        }
    }
    std::erase_if(queue.incoming, [window](const auto& s) { return s->to == window; });
    std::erase_if(queue.posted, [window](const Message& m) { return m.hwnd == window; });
    std::erase_if(m_timers, [window](const Timer& t) { return t.window == window; });
    std::erase(m_topLevelOrder, window);
    m_windows.erase(window);
    m_sched.Wake();
}

bool WindowSystemCore::IsWindow(WindowHandle window) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return Find(window) != nullptr;
}

WindowHandle WindowSystemCore::FindWindow(const std::wstring& title) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    for (WindowHandle handle : m_topLevelOrder)
        if (m_windows[handle].title == title) return handle;
    return 0;
}

std::intptr_t WindowSystemCore::CallClient(WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t lParam) {
    IWindowClient* client = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_sched.StateLock());
        if (Window* w = Find(window)) client = w->client;
    }
    return client ? client->WindowProc(message, wParam, lParam) : 0;
}

void WindowSystemCore::HandleIncoming(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
    std::shared_ptr<Sent> sent = queue.incoming.front();
    queue.incoming.pop_front();
    queue.handling.push_back(sent);
    lock.unlock();
    std::intptr_t result = CallClient(sent->to, sent->message, sent->wParam, sent->lParam);
    lock.lock();
    if (!sent->done) {
        sent->done = true;
        sent->result = result;
    }
    queue.handling.pop_back();
    m_sched.Wake();
}

std::intptr_t WindowSystemCore::Send(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    ExpectNoLocksHeld("a window message");
    auto sent = std::make_shared<Sent>();
    sent->to = to;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    if (message == kWmCopyData && lParam != 0) {
        // The receiver gets its own copy of the bytes, as across processes.
        const auto* data = reinterpret_cast<const CopyData*>(lParam);
        const auto* bytes = static_cast<const unsigned char*>(data->lpData);
        if (bytes) sent->bytes.assign(bytes, bytes + data->cbData);
        sent->copy.dwData = data->dwData;
        sent->copy.cbData = data->cbData;
        sent->copy.lpData = sent->bytes.empty() ? nullptr : sent->bytes.data();
        sent->lParam = reinterpret_cast<std::intptr_t>(&sent->copy);
    }

    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    Window* w = Find(to);
    if (!w) return 0;
    ThreadId me = m_sched.Current();
    if (w->owner == me) {
        lock.unlock();
        return CallClient(to, message, wParam, sent->lParam);
    }
    QueueOf(w->owner).incoming.push_back(sent);
    m_sched.Wake();
    ThreadQueue& mine = QueueOf(me);
    while (!sent->done) {
        if (!mine.incoming.empty()) {
            HandleIncoming(lock, mine);
            continue;
        }
        m_sched.Wait(lock, [&] { return sent->done || !mine.incoming.empty(); }, kForever);
    }
    return sent->result;
}

void WindowSystemCore::Broadcast(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    std::vector<WindowHandle> targets;
    {
        std::lock_guard<std::mutex> lock(m_sched.StateLock());
        targets = m_topLevelOrder;
    }
    for (WindowHandle target : targets) Send(target, message, wParam, lParam);
}

bool WindowSystemCore::Post(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    Window* w = Find(to);
    if (!w) return false;
    QueueOf(w->owner).posted.push_back(Message{to, message, wParam, lParam});
    m_sched.Wake();
    return true;
}

void WindowSystemCore::PostAt(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam, std::uint64_t atMs) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    Window* w = Find(to);
    if (!w) return;
    ThreadQueue& queue = QueueOf(w->owner);
    queue.delayed.push_back(Delayed{atMs, m_delayedSeq++, Message{to, message, wParam, lParam}});
    ++queue.schedule;
    m_sched.Wake();
}

bool WindowSystemCore::ReplyMessage(std::intptr_t result) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    ThreadQueue& queue = QueueOf(m_sched.Current());
    if (queue.handling.empty() || queue.handling.back()->done) return false;
    queue.handling.back()->done = true;
    queue.handling.back()->result = result;
    m_sched.Wake();
    return true;
}

std::uint32_t WindowSystemCore::SetTimer(WindowHandle window, std::uint32_t id,
                                         std::uint32_t periodMs) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    Window* w = Find(window);
    if (!w) return 0;
    ++QueueOf(w->owner).schedule;
    std::uint64_t due = m_sched.NowMs() + periodMs;
    auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) {
        return t.window == window && t.id == id;
    });
    if (it != m_timers.end()) {
        it->period = periodMs;
        it->due = due;
    } else {
        m_timers.push_back(Timer{window, id, periodMs, due});
    }
    m_sched.Wake();
    return id == 0 ? 1 : id;
}

bool WindowSystemCore::KillTimer(WindowHandle window, std::uint32_t id) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto before = m_timers.size();
    std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    return m_timers.size() != before;
}

void WindowSystemCore::PostQuit(int exitCode) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    ThreadQueue& queue = QueueOf(m_sched.Current());
    queue.quit = true;
    queue.quitCode = exitCode;
    m_sched.Wake();
}

int WindowSystemCore::QuitCode() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return QueueOf(m_sched.Current()).quitCode;
}

std::uint64_t WindowSystemCore::NextDue(ThreadId thread, const ThreadQueue& queue) {
    std::uint64_t next = kForever;
    for (const Timer& t : m_timers) {
        Window* w = Find(t.window);
        if (w && w->owner == thread) next = std::min(next, t.due);
    }
    for (const Delayed& d : queue.delayed) next = std::min(next, d.at);
    return next;
}

Fetch WindowSystemCore::GetMessage(Message& out, std::uint64_t untilMs) {
    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    ThreadId me = m_sched.Current();
    ThreadQueue& queue = QueueOf(me);
    for (;;) {
        if (!queue.incoming.empty()) {
            HandleIncoming(lock, queue);
            continue;
        }
        std::uint64_t now = m_sched.NowMs();
        if (!queue.delayed.empty()) {
            std::stable_sort(queue.delayed.begin(), queue.delayed.end(),
                             [](const Delayed& a, const Delayed& b) {
                                 return a.at != b.at ? a.at < b.at : a.seq < b.seq;
                             });
            while (!queue.delayed.empty() && queue.delayed.front().at <= now) {
                queue.posted.push_back(queue.delayed.front().message);
                queue.delayed.erase(queue.delayed.begin());
            }
        }
        if (!queue.posted.empty()) {
            out = queue.posted.front();
            queue.posted.pop_front();
            return Fetch::Message;
        }
        if (queue.quit) {
            queue.quit = false;
            out = Message{0, kWmQuit, static_cast<std::uintptr_t>(queue.quitCode), 0};
            return Fetch::Quit;
        }
        Timer* due = nullptr;
        for (Timer& t : m_timers) {
            Window* w = Find(t.window);
            if (w && w->owner == me && t.due <= now && (!due || t.due < due->due)) due = &t;
        }
        if (due) {
            due->due = now + due->period;
            out = Message{due->window, kWmTimer, due->id, 0};
            return Fetch::Message;
        }
        if (now >= untilMs) return Fetch::TimeUp;
        std::uint64_t deadline = std::min(untilMs, NextDue(me, queue));
        std::uint64_t schedule = queue.schedule;
        m_sched.Wait(
            lock,
            [&] {
                return !queue.incoming.empty() || !queue.posted.empty() || queue.quit ||
                       queue.schedule != schedule;
            },
            deadline);
    }
}

std::intptr_t WindowSystemCore::DispatchMessage(const Message& message) {
    return CallClient(message.hwnd, message.message, message.wParam, message.lParam);
}

bool WindowSystemCore::Pump(std::uint64_t untilMs) {
    Message message;
    for (;;) {
        switch (GetMessage(message, untilMs)) {
            case Fetch::Message: DispatchMessage(message); break;
            case Fetch::Quit: return false;
            case Fetch::TimeUp: return true;
        }
    }
}

ThreadId WindowSystemCore::Start(std::function<void()> body) {
    return m_sched.Spawn([this, body = std::move(body)] {
        body();
        // A thread's windows end with it; whoever still waits on them gets 0.
        std::vector<WindowHandle> owned;
        {
            std::lock_guard<std::mutex> lock(m_sched.StateLock());
            for (auto& [handle, w] : m_windows)
                if (w.owner == m_sched.Current()) owned.push_back(handle);
        }
        for (WindowHandle handle : owned) DestroyWindow(handle);
    });
}

void WindowSystemCore::Join(ThreadId thread) {
    {
        std::unique_lock<std::mutex> lock(m_sched.StateLock());
        ThreadQueue& mine = QueueOf(m_sched.Current());
        while (!m_sched.Finished(thread)) {
            if (!mine.incoming.empty()) {
                HandleIncoming(lock, mine);
                continue;
            }
            m_sched.Wait(
                lock, [&] { return m_sched.Finished(thread) || !mine.incoming.empty(); },
                kForever);
        }
    }
    m_sched.Reap(thread);
}

}  // namespace kovado::platform
