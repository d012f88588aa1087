// The window system, threads and clock of the Win32 backend on the real window
// manager: two windows on two threads talking by sends, replies, copy-data,
// posts, a broadcast and a timer, the end of a thread joined while it still
// sends, and the local-time conversions.
#include <atomic>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/tests/Check.h"

using namespace kovado::platform;
using kovado::wintest::Check;

namespace {

struct Client : IWindowClient {
    std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t)> m_handler;
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }
};

std::string BytesOf(std::intptr_t lParam) {
    const auto* data = reinterpret_cast<const CopyData*>(lParam);
    if (!data || !data->lpData) return {};
    return std::string(static_cast<const char*>(data->lpData), data->cbData);
}

// Runs the calling thread's loop until untilMs.
void Pump(Win32WindowSystem& ws, std::uint64_t untilMs) {
    Message m;
    while (ws.GetMessage(m, untilMs) == Fetch::Message) ws.DispatchMessage(m);
}

constexpr std::uint32_t kReplyEarly = kWmApp + 1;
constexpr std::uint32_t kAskBack = kWmApp + 2;
constexpr std::uint32_t kAnswerBack = kWmApp + 3;
constexpr std::uint32_t kPosted = kWmApp + 4;
constexpr std::uint32_t kLastWords = kWmApp + 5;

// What the second thread saw; read by the main thread after a send to it
// returned or after the event the handler sets.
struct Seen {
    std::string copied;
    std::uintptr_t copiedTag = 0;
    WindowHandle copiedFrom = 0;
    bool emptyCopyIsNull = false;
    bool replied = false;
    bool releasedAfterReply = false;
    WindowHandle broadcastFrom = 0;
    std::uintptr_t postedW = 0;
    std::intptr_t postedL = 0;
    bool destroyed = false;
    int quitCode = -1;
    std::intptr_t lastWordsAnswer = 0;
};

void TestClock(Win32Clock& clock) {
    std::uint64_t t0 = clock.NowMs();
    clock.Sleep(60);
    std::uint64_t elapsed = clock.NowMs() - t0;
    // The tick count moves in steps of about 16 ms.
    Check(elapsed >= 30 && elapsed < 2000, "Sleep(60) lasts about 60 ms on the tick clock");

    // The conversion agrees with the system's own local time.
    IClock::LocalTime converted{}, local{};
    for (int attempt = 0; attempt < 3; ++attempt) {
        local = clock.Local();
        converted = clock.ToLocal(static_cast<std::int64_t>(std::time(nullptr)));
        if (converted.second == local.second) break;
    }
    Check(converted.year == local.year && converted.month == local.month &&
              converted.day == local.day && converted.hour == local.hour &&
              converted.minute == local.minute && converted.second == local.second,
          "ToLocal(now) equals Local()");
    Check(local.year >= 2020 && local.month >= 1 && local.month <= 12, "Local() is a real date");

    IClock::LocalTime later = clock.ToLocal(1784116800 + 86400);  // 2026-07-16 12:00 UTC
    IClock::LocalTime day = clock.ToLocal(1784116800);
    Check(later.hour == day.hour && later.minute == day.minute &&
              (later.day == day.day + 1 || later.day == 1),
          "one day later is the next date at the same time");

    const std::int64_t outOfRange[] = {INT64_MIN, -11644473601, 910670515200, INT64_MAX};
    for (std::int64_t seconds : outOfRange) {
        IClock::LocalTime t = clock.ToLocal(seconds);
        Check(t.year == 1970 && t.month == 1 && t.day == 1 && t.hour == 0 && t.minute == 0 &&
                  t.second == 0,
              "a time Windows cannot hold converts to 1970-01-01 00:00:00");
    }
    IClock::LocalTime first = clock.ToLocal(-11644473600 + 2 * 86400);
    Check(first.year == 1601 && first.month == 1, "early 1601 still converts");
    Check(clock.AnsiCodePage() > 0, "the ANSI code page is known");
}

void TestTimersAndQueue(Win32WindowSystem& ws, WindowHandle a, int& ticks) {
    Check(ws.SetTimer(a, 7, 40) == 7, "SetTimer returns the identifier");
    Pump(ws, GetTickCount64() + 450);
    Check(ticks >= 3 && ticks <= 14, "a 40 ms timer ticks about ten times in 450 ms");
    Check(ws.KillTimer(a, 7), "KillTimer stops a running timer");
    Check(!ws.KillTimer(a, 7), "KillTimer of a stopped timer fails");
    int before = ticks;
    Pump(ws, GetTickCount64() + 150);
    Check(ticks == before, "no tick after KillTimer");

    std::uint64_t t0 = GetTickCount64();
    Message m;
    Check(ws.GetMessage(m, t0 + 120) == Fetch::TimeUp, "GetMessage ends at its time bound");
    std::uint64_t waited = GetTickCount64() - t0;
    Check(waited >= 100 && waited < 2000, "GetMessage waits until the bound");

    Check(ws.Post(a, kPosted, 1, 2), "Post to an own window");
    ws.PostQuit(4);
    Check(ws.GetMessage(m, kForever) == Fetch::Message && m.message == kPosted && m.hwnd == a &&
              m.wParam == 1 && m.lParam == 2,
          "a posted message comes before the quit request");
    Check(ws.GetMessage(m, kForever) == Fetch::Quit && ws.QuitCode() == 4,
          "then the quit request with its code");
    Check(!ws.Post(a, kWmCopyData, 0, 0) && !ws.Post(0, kPosted, 0, 0),
          "copy-data cannot be posted, nor can anything go to no window");
}

}  // namespace

int wmain() {
    kovado::wintest::StartWatchdog(90);
    Win32Platform platform;
    Win32WindowSystem& ws = platform.m_windows;

    TestClock(platform.m_clock);

    std::uint32_t discover = ws.RegisterMessage(L"KovadoSeamsTestDiscover");
    Check(discover >= 0xC000 && discover == ws.RegisterMessage(L"KovadoSeamsTestDiscover"),
          "a registered message has one number");

    // Window A on the main thread, child C under it.
    int ticks = 0;
    std::string echoed;
    bool childGotBroadcast = false;
    bool aGotBroadcast = false;
    int aCloses = 0;
    bool aDestroyed = false;
    Client clientA, clientC;
    WindowHandle a = ws.CreateWindow(&clientA, L"KovadoSeamsTestA", 0);
    WindowHandle c = ws.CreateWindow(&clientC, L"KovadoSeamsTestC", a);
    clientA.m_handler = [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
        -> std::intptr_t {
        if (message == kWmTimer && wParam == 7) ++ticks;
        if (message == kAnswerBack) return 10;
        if (message == kLastWords) return 99;
        if (message == discover) aGotBroadcast = true;
        if (message == kWmClose) ++aCloses;
        if (message == kWmDestroy) aDestroyed = true;
        if (message == kWmCopyData) {
            echoed = BytesOf(lParam);
            return 5;
        }
        return 0;
    };
    clientC.m_handler = [&](std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
        if (message == discover) childGotBroadcast = true;
        return 0;
    };
    Check(a != 0 && c != 0 && ws.IsWindow(a) && ws.IsWindow(c), "windows are created");
    Check(ws.FindWindow(L"KovadoSeamsTestA") == a, "a top-level window is found by title");
    Check(ws.FindWindow(L"KovadoSeamsTestC") == 0, "a child window is not found by title");

    // Window B on a second thread.
    Seen seen;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE posted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE joining = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<WindowHandle> bHandle{0};
    ThreadId worker = platform.m_threads.Start([&] {
        Client clientB;
        clientB.m_handler = [&](std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) -> std::intptr_t {
            WindowHandle self = bHandle.load();
            if (message == kReplyEarly) {
                seen.replied = ws.ReplyMessage(static_cast<std::intptr_t>(wParam * 2));
                seen.releasedAfterReply = WaitForSingleObject(release, 5000) == WAIT_OBJECT_0;
                return -1;
            }
            if (message == kAskBack) return ws.Send(a, kAnswerBack, 0, 0) + 1;
            if (message == kWmCopyData) {
                const auto* data = reinterpret_cast<const CopyData*>(lParam);
                if (data->cbData == 0) {
                    seen.emptyCopyIsNull = data->lpData == nullptr;
                    return 1;
                }
                seen.copied = BytesOf(lParam);
                seen.copiedTag = data->dwData;
                seen.copiedFrom = wParam;
                std::string echo = "ECHO " + seen.copied;
                CopyData back{3, static_cast<std::uint32_t>(echo.size()), echo.data()};
                return ws.Send(a, kWmCopyData, self, reinterpret_cast<std::intptr_t>(&back)) + 1;
            }
            if (message == discover) seen.broadcastFrom = wParam;
            if (message == kPosted) {
                seen.postedW = wParam;
                seen.postedL = lParam;
                SetEvent(posted);
            }
            if (message == kWmDestroy) {
                seen.destroyed = true;
                ws.PostQuit(3);
            }
            return 0;
        };
        bHandle = ws.CreateWindow(&clientB, L"KovadoSeamsTestB", 0);
        SetEvent(ready);
        Message m;
        while (ws.GetMessage(m, kForever) == Fetch::Message) ws.DispatchMessage(m);
        seen.quitCode = ws.QuitCode();
        // Once the main thread waits in Join, it must still take this send.
        WaitForSingleObject(joining, 10000);
        Sleep(100);
        seen.lastWordsAnswer = ws.Send(a, kLastWords, 0, 0);
    });
    Check(worker != 0, "a thread is started");
    Check(WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0, "the second thread made its window");
    WindowHandle b = bHandle.load();
    Check(b != 0 && ws.FindWindow(L"KovadoSeamsTestB") == b, "the other thread's window is found");

    // An early reply lets the sender go on while the handler is still busy.
    std::uint64_t t0 = GetTickCount64();
    std::intptr_t reply = ws.Send(b, kReplyEarly, 21, 0);
    std::uint64_t took = GetTickCount64() - t0;
    SetEvent(release);
    Check(reply == 42 && took < 3000, "ReplyMessage answers the sender before the handler ends");
    Check(!ws.ReplyMessage(1), "ReplyMessage outside a cross-thread send fails");

    // While the main thread waits in a send, it handles the send coming back.
    Check(ws.Send(b, kAskBack, 0, 0) == 11, "a send back to the waiting thread is handled");
    Check(seen.replied && seen.releasedAfterReply, "the handler went on after replying");

    // Copy-data both ways, UTF-8 bytes unchanged, the terminator included.
    const std::string text = "CHAT 7 BODY Grüße aus 東京 😀";
    CopyData data{0x1234, static_cast<std::uint32_t>(text.size() + 1), text.c_str()};
    Check(ws.Send(b, kWmCopyData, a, reinterpret_cast<std::intptr_t>(&data)) == 6,
          "copy-data result travels back through both sends");
    Check(seen.copied == std::string(text.c_str(), text.size() + 1) && seen.copiedTag == 0x1234 &&
              seen.copiedFrom == a,
          "the receiver sees the sender's bytes, tag and window");
    Check(echoed == "ECHO " + std::string(text.c_str(), text.size() + 1),
          "copy-data sent from a handler reaches the other thread's window");
    CopyData empty{9, 0, nullptr};
    Check(ws.Send(b, kWmCopyData, a, reinterpret_cast<std::intptr_t>(&empty)) == 1 &&
              seen.emptyCopyIsNull,
          "empty copy-data arrives without a pointer");

    Check(ws.Post(b, kPosted, 5, -6), "Post to the other thread's window");
    Check(WaitForSingleObject(posted, 5000) == WAIT_OBJECT_0 && seen.postedW == 5 &&
              seen.postedL == -6,
          "the posted message is delivered by the other thread's loop");

    // The broadcast reaches the top-level windows of both threads, not the child.
    ws.Broadcast(discover, a, 0);
    Check(seen.broadcastFrom == a && aGotBroadcast, "a broadcast reaches every top-level window");
    Check(!childGotBroadcast, "a broadcast skips child windows");

    TestTimersAndQueue(ws, a, ticks);
    Check(ws.Send(a, kWmClose, 0, 0) == 0 && aCloses == 1 && ws.IsWindow(a),
          "a close request goes to the client and destroys nothing by itself");

    // Destroying the other thread's window ends its loop; joining it still
    // serves the send the ending thread makes.
    ws.DestroyWindow(b);
    Check(!ws.IsWindow(b) && seen.destroyed, "DestroyWindow from another thread destroys it");
    SetEvent(joining);
    platform.m_threads.Join(worker);
    Check(seen.quitCode == 3, "the other thread's loop ended with its quit code");
    Check(seen.lastWordsAnswer == 99, "Join handles sends from the thread it waits for");
    Check(ws.Send(b, kAskBack, 0, 0) == 0, "a send to a destroyed window returns 0");

    ws.DestroyWindow(a);
    Check(aDestroyed && !ws.IsWindow(a) && !ws.IsWindow(c),
          "destroying a window tells its client and destroys its child");
    return kovado::wintest::Finish();
}
