#include "platform/sim/SimSkype.h"

namespace kovado::platform {

SimSkype::SimSkype(SimPlatform& platform) : SimSkype(platform.m_windows, platform.m_scheduler) {}

SimSkype::SimSkype(WindowSystemCore& windows, Scheduler& scheduler)
    : m_windows(windows), m_sched(scheduler) {
    m_nMsgDiscover = windows.RegisterMessage(L"SkypeControlAPIDiscover");
    m_nMsgAttach = windows.RegisterMessage(L"SkypeControlAPIAttach");
}

SimSkype::~SimSkype() { Stop(); }

void SimSkype::Start() {
    if (m_nThread >= 0) return;
    m_nThread = m_windows.Start([this] {
        WindowHandle window = m_windows.CreateWindow(this, L"Skype", 0);
        {
            // Published under the state lock, so that Start sees it on real threads too.
            std::lock_guard<std::mutex> lock(m_sched.StateLock());
            m_hWnd = window;
            m_sched.Wake();
        }
        m_windows.Pump(kForever);
    });
    // The window must exist before anyone broadcasts.
    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    m_sched.Wait(lock, [this] { return m_hWnd != 0; }, kForever);
}

void SimSkype::Stop() {
    if (m_nThread < 0) return;
    m_windows.Post(m_hWnd, kWmClose, 0, 0);
    m_windows.Join(m_nThread);
    m_nThread = -1;
    m_hWnd = 0;
}

void SimSkype::Notify(const std::string& text, std::uint64_t delayMs) {
    std::size_t index;
    {
        std::lock_guard<Mutex> lock(m_outboxLock);
        index = m_outbox.size();
        m_outbox.push_back(text);
    }
    m_windows.PostAt(m_hWnd, kMsgNotify, index, 0, m_sched.NowMs() + delayMs);
}

void SimSkype::SendNotification(const std::string& text) {
    if (m_trace) m_trace("notify", text);
    CopyData data;
    data.cbData = static_cast<std::uint32_t>(text.size() + 1);
    data.lpData = text.c_str();
    m_notifyResults.push_back(m_windows.Send(m_hClient, kWmCopyData, m_hWnd,
                                                        reinterpret_cast<std::intptr_t>(&data)));
}

std::intptr_t SimSkype::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    auto& windows = m_windows;
    if (message == m_nMsgDiscover) {
        ++m_nDiscovers;
        m_hClient = wParam;
        std::uint64_t at = m_sched.NowMs();
        for (std::intptr_t status : m_attachStatuses) {
            at += m_nAttachDelayMs;
            windows.PostAt(m_hWnd, kMsgAttach, static_cast<std::uintptr_t>(status), 0, at);
        }
        return 0;
    }
    switch (message) {
        case kMsgAttach:
            if (m_trace) m_trace("attach", std::to_string(wParam));
            windows.Send(m_hClient, m_nMsgAttach, m_hWnd, static_cast<std::intptr_t>(wParam));
            return 0;
        case kMsgNotify: {
            std::string text;
            {
                std::lock_guard<Mutex> lock(m_outboxLock);
                text = m_outbox.at(wParam);
            }
            SendNotification(text);
            return 0;
        }
        case kWmCopyData: {
            if (m_bRefuse) return 0;
            const auto* data = reinterpret_cast<const CopyData*>(lParam);
            const auto* bytes = static_cast<const char*>(data->lpData);
            std::string text;
            for (std::uint32_t i = 0; bytes && i < data->cbData && bytes[i] != 0; ++i)
                text.push_back(bytes[i]);
            auto mode = m_modeProbe ? m_modeProbe() : std::pair<int, int>{-1, -1};
            m_commands.push_back(Command{m_sched.NowMs(), text, mode.first, mode.second});
            m_hClient = static_cast<WindowHandle>(wParam);
            if (m_trace) m_trace("command", text);
            if (m_rules)
                for (const std::string& reply : m_rules(text)) Notify(reply, m_nReplyDelayMs);
            if (m_nestedRules)
                for (const std::string& reply : m_nestedRules(text)) SendNotification(reply);
            return 1;
        }
        case kWmClose:
            windows.PostQuit(0);
            return 0;
        default:
            return 0;
    }
}

}  // namespace kovado::platform
