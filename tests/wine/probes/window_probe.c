/* A stand-in for the programs KovadoRemove deals with, for the Wine test of
 * the tools. Every role appends lines to the log file given as its second
 * argument:
 *   window <log>        a top-level window titled "KovadoDeskLink": "ready"
 *                       once it exists; on WM_CLOSE it takes half a second,
 *                       writes "close" and ends, writing "exit" half a second
 *                       later, with exit code 0.
 *   mark <log> [...]    the registered uninstall command: writes "uninstall".
 *   wave <log>          the wave devices by their 8-bit names, one a line:
 *                       "in <name>" and "out <name>".
 *   focus <log>         the user's window: takes the focus, writes "ready",
 *                       then every key message it receives as "down|up <vk>"
 *                       (hex); ends, writing "end", once a file named like
 *                       the log plus ".stop" exists, or after a minute. */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* g_log;

static void Append(const char* line) {
    HANDLE file = CreateFileA(g_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Sleep(500);
            Append("close");
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int RunWindow(HINSTANCE instance) {
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KovadoProbeFrame";
    if (!RegisterClassA(&windowClass) ||
        !CreateWindowA("KovadoProbeFrame", "KovadoDeskLink", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                       NULL, NULL, instance, NULL)) {
        return 2;
    }
    Append("ready");
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    Sleep(500);
    Append("exit");
    return 0;
}

static char g_stop[MAX_PATH + 8];
static int g_ticks;

static LRESULT CALLBACK FocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char line[32];
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            snprintf(line, sizeof(line), "%s %02x",
                     (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) ? "down" : "up",
                     (unsigned)wParam);
            Append(line);
            return 0;
        case WM_TIMER:
            if (GetFileAttributesA(g_stop) != INVALID_FILE_ATTRIBUTES || ++g_ticks > 600) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int RunFocus(HINSTANCE instance) {
    snprintf(g_stop, sizeof(g_stop), "%s.stop", g_log);
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = FocusProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KovadoProbeUser";
    HWND window = NULL;
    if (RegisterClassA(&windowClass)) {
        window = CreateWindowA("KovadoProbeUser", "Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                               40, 300, 200, NULL, NULL, instance, NULL);
    }
    if (window == NULL) {
        return 2;
    }
    SetForegroundWindow(window);
    SetFocus(window);
    SetTimer(window, 1, 100, NULL);
    Append(GetForegroundWindow() == window ? "ready" : "ready without the focus");
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    Append("end");
    return 0;
}

static void ListWave(void) {
    char line[64];
    UINT count = waveInGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        WAVEINCAPSA caps;
        if (waveInGetDevCapsA(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR) {
            snprintf(line, sizeof(line), "in %.31s", caps.szPname);
            Append(line);
        }
    }
    count = waveOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        WAVEOUTCAPSA caps;
        if (waveOutGetDevCapsA(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR) {
            snprintf(line, sizeof(line), "out %.31s", caps.szPname);
            Append(line);
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    if (__argc < 3) {
        return 2;
    }
    g_log = __argv[2];
    if (strcmp(__argv[1], "window") == 0) {
        return RunWindow(instance);
    }
    if (strcmp(__argv[1], "mark") == 0) {
        Append("uninstall");
        return 0;
    }
    if (strcmp(__argv[1], "focus") == 0) {
        return RunFocus(instance);
    }
    if (strcmp(__argv[1], "wave") == 0) {
        ListWave();
        return 0;
    }
    return 2;
}
