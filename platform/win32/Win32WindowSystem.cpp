#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32WindowClass.h"
#include "platform/win32/Win32WindowSystem.h"

#include "platform/Clock.h"
#include "platform/Mutex.h"

#include <algorithm>

namespace kovado::platform {
namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

thread_local int t_quitCode = 0;

// A send whose payload is the core's CopyData goes out as a COPYDATASTRUCT;
// the window manager copies the bytes for the receiver.
LRESULT SendNative(HWND to, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_COPYDATA && lParam != 0) {
        const auto* data = reinterpret_cast<const CopyData*>(lParam);
        COPYDATASTRUCT native{};
        native.dwData = data->dwData;
        native.cbData = data->lpData ? data->cbData : 0;
        native.lpData = const_cast<void*>(data->lpData);
        return SendMessageW(to, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&native));
    }
    return SendMessageW(to, message, wParam, lParam);
}

}  // namespace

std::uint32_t Win32WindowSystem::RegisterMessage(const std::wstring& name) {
    return RegisterWindowMessageW(name.c_str());
}

WindowHandle Win32WindowSystem::CreateWindow(IWindowClient* client, const std::wstring& title,
                                             WindowHandle parent) {
    // Never shown: top-level windows are hidden overlapped windows (they take
    // broadcasts and are found by title), the others hidden children.
    ::DWORD style = parent != 0 ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    HWND hwnd = CreateWindowExW(0, WindowClassName(), title.c_str(), style, 0, 0, 0, 0,
                                Hwnd(parent), nullptr, GetModuleHandleW(nullptr), client);
    return reinterpret_cast<WindowHandle>(hwnd);
}

void Win32WindowSystem::DestroyWindow(WindowHandle window) {
    HWND hwnd = Hwnd(window);
    ::DWORD process = 0;
    ::DWORD thread = GetWindowThreadProcessId(hwnd, &process);
    if (thread == 0 || process != GetCurrentProcessId()) return;
    if (thread == GetCurrentThreadId())
        ::DestroyWindow(hwnd);
    else
        SendMessageW(hwnd, DestroyRequestMessage(), 0, 0);
}

bool Win32WindowSystem::IsWindow(WindowHandle window) {
    return window != 0 && ::IsWindow(Hwnd(window));
}

WindowHandle Win32WindowSystem::FindWindow(const std::wstring& title) {
    return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, title.c_str()));
}

std::intptr_t Win32WindowSystem::Send(WindowHandle to, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    if (to == 0) return 0;
    ExpectNoLocksHeld("a window message");
    return SendNative(Hwnd(to), message, wParam, lParam);
}

// Every top-level window of the desktop, of every program: one that is hung,
// or takes longer than the bound, is passed over so it cannot hold the caller.
void Win32WindowSystem::Broadcast(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    if (message == WM_COPYDATA) return;  // its payload is for one receiver
    ExpectNoLocksHeld("a broadcast");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, wParam, lParam, SMTO_ABORTIFHUNG,
                        kBroadcastWaitMs, &ignored);
}

bool Win32WindowSystem::Post(WindowHandle to, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    // A post carries no copy of pointed-to data; WM_COPYDATA is send-only.
    if (to == 0 || message == WM_COPYDATA) return false;
    return PostMessageW(Hwnd(to), message, wParam, lParam) != 0;
}

bool Win32WindowSystem::ReplyMessage(std::intptr_t result) {
    return ::ReplyMessage(result) != 0;
}

std::uint32_t Win32WindowSystem::SetTimer(WindowHandle window, std::uint32_t id,
                                          std::uint32_t periodMs) {
    if (window == 0) return 0;  // a thread timer would not reach any client
    return static_cast<std::uint32_t>(::SetTimer(Hwnd(window), id, periodMs, nullptr));
}

bool Win32WindowSystem::KillTimer(WindowHandle window, std::uint32_t id) {
    return window != 0 && ::KillTimer(Hwnd(window), id) != 0;
}

void Win32WindowSystem::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

Fetch Win32WindowSystem::GetMessage(Message& out, std::uint64_t untilMs) {
    for (;;) {
        // Peeking also delivers the sends waiting for this thread.
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            out = Message{reinterpret_cast<std::uintptr_t>(msg.hwnd), msg.message, msg.wParam,
                          msg.lParam};
            if (msg.message != WM_QUIT) return Fetch::Message;
            t_quitCode = static_cast<int>(msg.wParam);
            return Fetch::Quit;
        }
        ::DWORD wait = INFINITE;
        if (untilMs != kForever) {
            std::uint64_t now = GetTickCount64();
            if (now >= untilMs) return Fetch::TimeUp;
            wait = static_cast<::DWORD>(std::min<std::uint64_t>(untilMs - now, INFINITE - 1));
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

std::intptr_t Win32WindowSystem::DispatchMessage(const Message& message) {
    MSG msg{};
    msg.hwnd = Hwnd(message.hwnd);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    msg.time = GetMessageTime();
    return DispatchMessageW(&msg);
}

int Win32WindowSystem::QuitCode() { return t_quitCode; }

}  // namespace kovado::platform
