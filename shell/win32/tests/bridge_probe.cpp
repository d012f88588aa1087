// Looks at and pokes the running bridge from outside, for tests/wine/bridge.sh:
//   bridge_probe frame SECONDS   waits for the frame "KovadoDeskLink"; prints
//                                "hidden" or "visible"; exit 0 hidden, 2 shown,
//                                1 not there in time
//   bridge_probe frames          prints how many top-level windows bear the title
//   bridge_probe close [TITLE]   sends WM_CLOSE to the frame (or to the top-level
//                                window so titled) and waits until it is handled
//   bridge_probe tray            prints "shown" while Wine's tray shows an icon
//   bridge_probe shows TITLE SECONDS  waits for a visible top-level window so
//                                titled ("menu": an open popup menu); exit 0 seen
//   bridge_probe command ID [TITLE]  posts the command to the frame (or to the
//                                top-level window so titled)
//   bridge_probe tray-event EV   posts the tray icon's callback with mouse event EV
//   bridge_probe hang SECONDS    shows a top-level window "Hung Window", prints
//                                "hanging" and then handles no message for
//                                SECONDS, as a program that stopped responding
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/Win32Api.h"

namespace {

const wchar_t kTitle[] = L"KovadoDeskLink";

struct Search {
    int count = 0;
    ::DWORD process = 0;
    HWND notification = nullptr;
};

BOOL CALLBACK CountFrames(HWND hwnd, LPARAM param) {
    wchar_t title[64] = L"";
    GetWindowTextW(hwnd, title, 64);
    if (std::wcscmp(title, kTitle) == 0) ++reinterpret_cast<Search*>(param)->count;
    return TRUE;
}

// The tray's hidden notification window: untitled, of the bridge's process.
BOOL CALLBACK FindNotification(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[64] = L"", title[8] = L"";
    GetClassNameW(hwnd, name, 64);
    GetWindowTextW(hwnd, title, 8);
    ::DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->process && title[0] == L'\0' &&
        std::wcscmp(name, L"KovadoDeskLinkWindow") == 0) {
        search->notification = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring verb = argv[1];
    HWND frame = FindWindowW(nullptr, kTitle);
    if (verb == L"frame") {
        int tenths = (argc > 2 ? _wtoi(argv[2]) : 10) * 10;
        for (int i = 0; !frame && i < tenths; ++i, Sleep(100)) frame = FindWindowW(nullptr, kTitle);
        if (!frame) {
            std::puts("absent");
            return 1;
        }
        bool visible = IsWindowVisible(frame);
        std::puts(visible ? "visible" : "hidden");
        return visible ? 2 : 0;
    }
    if (verb == L"frames") {
        Search search;
        EnumWindows(CountFrames, reinterpret_cast<LPARAM>(&search));
        std::printf("%d\n", search.count);
        return 0;
    }
    if (verb == L"shows" && argc > 3) {
        bool menu = std::wcscmp(argv[2], L"menu") == 0;
        for (int i = 0; i < _wtoi(argv[3]) * 10; ++i, Sleep(100)) {
            HWND window = menu ? FindWindowW(L"#32768", nullptr) : FindWindowW(nullptr, argv[2]);
            if (window && IsWindowVisible(window)) return 0;
        }
        return 1;
    }
    if (verb == L"hang" && argc > 2) {
        HWND hung = CreateWindowExW(0, L"Static", L"Hung Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        if (!hung) return 1;
        std::puts("hanging");
        std::fflush(stdout);
        Sleep(static_cast<::DWORD>(_wtoi(argv[2])) * 1000);
        return 0;
    }
    if (verb == L"tray") {
        HWND tray = FindWindowW(nullptr, L"Wine System Tray");
        std::puts(tray && IsWindowVisible(tray) ? "shown" : "hidden");
        return 0;
    }
    if (verb == L"close") {
        HWND target = argc > 2 ? FindWindowW(nullptr, argv[2]) : frame;
        if (!target) return 1;
        SendMessageW(target, WM_CLOSE, 0, 0);
        return 0;
    }
    if (verb == L"command" && argc > 2) {
        HWND target = argc > 3 ? FindWindowW(nullptr, argv[3]) : frame;
        if (!target) return 1;
        PostMessageW(target, WM_COMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0);
        return 0;
    }
    if (!frame) return 1;
    if (verb == L"tray-event" && argc > 2) {
        Search search;
        GetWindowThreadProcessId(frame, &search.process);
        EnumWindows(FindNotification, reinterpret_cast<LPARAM>(&search));
        if (!search.notification) return 1;
        PostMessageW(search.notification, WM_USER + 10, 133, _wtoi(argv[2]));
        return 0;
    }
    return 2;
}
