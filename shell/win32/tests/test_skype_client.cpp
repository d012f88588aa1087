// A stand-in for the Skype client, for the bridge's tests under Wine: it
// answers the discover broadcast with the attach messages (pending, then
// success), logs every command it receives, and answers a few of them.
//   test_skype_client LOGFILE [SECONDS] [--ring-and-close]
// With --ring-and-close it reports a ringing call once attached, and when the
// bridge asks for that call's partner it closes the bridge's frame before it
// answers, so the close arrives while the bridge waits in its command.
// Log lines: "discover", "attached", "command <text>", "reply <text> <result>",
// "closed <result>". It ends when its window is closed or after SECONDS
// (default 120).
#include <deque>
#include <string>
#include <utility>

#include "platform/win32/Win32Api.h"
#include "shell/win32/tests/TestLog.h"

namespace {

constexpr UINT kAttachNow = WM_APP + 1;
constexpr UINT kReplyNow = WM_APP + 2;
constexpr char kRinging[] = "CALL 7 STATUS RINGING";
constexpr char kPartnerQuery[] = "GET CALL 7 PARTNER_HANDLE";

struct Client {
    kovado::wintest::LineLog* log = nullptr;
    HWND self = nullptr;
    HWND bridge = nullptr;
    UINT discover = 0;
    UINT attach = 0;
    bool ringAndClose = false;
    std::deque<std::pair<HWND, std::string>> replies;
} g_client;

std::string ReplyTo(const std::string& command) {
    if (command == "GET CURRENTUSERHANDLE") return "CURRENTUSERHANDLE testuser";
    if (command == "get userstatus") return "USERSTATUS ONLINE";
    return {};
}

LRESULT CALLBACK ClientProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Client& c = g_client;
    if (message == c.discover && c.discover != 0) {
        c.log->Line(std::string("discover"));
        c.bridge = reinterpret_cast<HWND>(wParam);
        // Answered later, as the real client does, not inside the broadcast.
        PostMessageW(hwnd, kAttachNow, 0, 0);
        return 0;
    }
    switch (message) {
        case kAttachNow:
            SendMessageW(c.bridge, c.attach, reinterpret_cast<WPARAM>(hwnd), 1);  // pending
            SendMessageW(c.bridge, c.attach, reinterpret_cast<WPARAM>(hwnd), 0);  // attached
            c.log->Line(std::string("attached"));
            if (c.ringAndClose) {
                c.replies.emplace_back(c.bridge, kRinging);
                PostMessageW(hwnd, kReplyNow, 0, 0);
            }
            return 0;
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            std::string text(static_cast<const char*>(data->lpData), data->cbData);
            while (!text.empty() && text.back() == '\0') text.pop_back();
            c.log->Line("command " + text);
            if (c.ringAndClose && text == kPartnerQuery) {
                HWND frame = FindWindowW(nullptr, L"KovadoDeskLink");
                LRESULT closed = frame ? SendMessageW(frame, WM_CLOSE, 0, 0) : -1;
                c.log->Line("closed " + std::to_string(closed));
            }
            std::string reply = ReplyTo(text);
            if (!reply.empty()) {
                c.replies.emplace_back(reinterpret_cast<HWND>(wParam), reply);
                PostMessageW(hwnd, kReplyNow, 0, 0);
            }
            return 1;
        }
        case kReplyNow: {
            if (c.replies.empty()) return 0;
            auto [to, text] = c.replies.front();
            c.replies.pop_front();
            COPYDATASTRUCT data{};
            data.cbData = static_cast<::DWORD>(text.size() + 1);
            data.lpData = text.data();
            LRESULT result = SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                                          reinterpret_cast<LPARAM>(&data));
            c.log->Line("reply " + text + " " + std::to_string(result));
            return 0;
        }
        case WM_TIMER:
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    kovado::wintest::LineLog log(argv[1]);
    if (!log.Open()) return 2;
    int seconds = argc > 2 ? _wtoi(argv[2]) : 120;
    g_client.ringAndClose = argc > 3 && std::wstring(argv[3]) == L"--ring-and-close";
    g_client.log = &log;
    g_client.discover = RegisterWindowMessageW(L"SkypeControlAPIDiscover");
    g_client.attach = RegisterWindowMessageW(L"SkypeControlAPIAttach");

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ClientProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KovadoTestSkypeClient";
    RegisterClassExW(&wc);
    g_client.self = CreateWindowExW(0, wc.lpszClassName, L"Skype Test Client", WS_OVERLAPPEDWINDOW,
                                    0, 0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!g_client.self) return 2;
    SetTimer(g_client.self, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    log.Line(std::string("ready"));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
