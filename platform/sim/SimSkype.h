// A simulated Skype desktop client: a top-level window on a thread of its own
// that answers the discover broadcast with attach messages, records every
// command it receives, replies by rules a test gives, and sends notifications
// at chosen moments.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Mutex.h"
#include "platform/sim/SimPlatform.h"

namespace kovado::platform {

class SimSkype : public IWindowClient {
public:
    struct Command {
        std::uint64_t atMs;
        std::string text;  // UTF-8, without the NUL
        int replyMode;     // the bridge's conversation state when it arrived
        int replySubMode;
    };

    explicit SimSkype(SimPlatform& platform);
    // Over any scheduler: also on real threads and time (POSIX).
    SimSkype(WindowSystemCore& windows, Scheduler& scheduler);
    ~SimSkype() override;

    // Starts the client's thread and window; Stop ends them.
    void Start();
    void Stop();

    // Sends a notification (UTF-8) to the attached bridge after delayMs.
    void Notify(const std::string& text, std::uint64_t delayMs = 0);

    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    // Answers to each discover broadcast, in order; empty: no answer at all.
    std::vector<std::intptr_t> m_attachStatuses{0};
    std::uint32_t m_nAttachDelayMs = 20;
    // Refuse every command (the send returns 0), as a client that has gone.
    bool m_bRefuse = false;
    // Replies to a command, each sent as a notification m_nReplyDelayMs later.
    std::function<std::vector<std::string>(const std::string& command)> m_rules;
    std::uint32_t m_nReplyDelayMs = 2;
    // Notifications sent at once while a command is being handled: the send
    // reaches the bridge's thread while it waits in its own send of that
    // command, as Windows delivers it.
    std::function<std::vector<std::string>(const std::string& command)> m_nestedRules;
    // Reads the bridge's reply mode and sub-mode, to record with each command.
    std::function<std::pair<int, int>()> m_modeProbe;

    // Called for every exchange, for traces: ("attach", status), ("command",
    // text), ("notify", text).
    std::function<void(const char* what, const std::string& detail)> m_trace;

    std::vector<Command> m_commands;
    std::vector<std::intptr_t> m_notifyResults;  // what each notification's send returned
    int m_nDiscovers = 0;
    WindowHandle m_hWnd = 0;
    WindowHandle m_hClient = 0;  // the window that asked to attach

private:
    // Sends one notification to the attached bridge from the client's window.
    void SendNotification(const std::string& text);

    static constexpr std::uint32_t kMsgNotify = kWmApp + 1;
    static constexpr std::uint32_t kMsgAttach = kWmApp + 2;

    WindowSystemCore& m_windows;
    Scheduler& m_sched;
    ThreadId m_nThread = -1;
    std::uint32_t m_nMsgDiscover = 0;
    std::uint32_t m_nMsgAttach = 0;
    Mutex m_outboxLock;
    std::vector<std::string> m_outbox;
};

}  // namespace kovado::platform
