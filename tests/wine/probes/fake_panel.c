/* A stand-in for the Sounds control panel, built as rundll32.exe and placed
 * beside Tambrelo.exe, which then starts it instead of the system's. It
 * appends to the file named by KOVADO_PANEL_LOG: "start <arguments>", then
 * every key message it receives as "down|up <virtual key> <scan code>" (hex).
 * KOVADO_PANEL_KIND=plain makes it a window without a tab strip (as an error
 * box would be); otherwise it holds one, as a property sheet does.
 * KOVADO_PANEL_KIND=behind shows it without taking the focus, as Windows'
 * foreground lock keeps a panel started from the background. It ends,
 * writing "end", once a file named like the log plus ".stop" exists (checked
 * by a timer, which comes only after every queued key message has been
 * handled), or after half a minute. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

static char g_log[MAX_PATH];
static char g_stop[MAX_PATH + 8];
static int g_ticks;

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

static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char line[64];
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            snprintf(line, sizeof(line), "%s %02x %02x",
                     (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) ? "down" : "up",
                     (unsigned)wParam, (unsigned)((lParam >> 16) & 0xFF));
            Append(line);
            return 0;
        case WM_TIMER:
            if (GetFileAttributesA(g_stop) != INVALID_FILE_ATTRIBUTES || ++g_ticks > 300) {
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)show;
    if (GetEnvironmentVariableA("KOVADO_PANEL_LOG", g_log, sizeof(g_log)) == 0) {
        return 2;
    }
    snprintf(g_stop, sizeof(g_stop), "%s.stop", g_log);
    char kind[16] = "";
    GetEnvironmentVariableA("KOVADO_PANEL_KIND", kind, sizeof(kind));
    char line[512];
    snprintf(line, sizeof(line), "start %s", commandLine);
    Append(line);

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KovadoFakePanel";
    RegisterClassA(&windowClass);
    int behind = strcmp(kind, "behind") == 0;
    HWND panel = CreateWindowA("KovadoFakePanel", "Sound", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                               NULL, NULL, instance, NULL);
    if (panel == NULL) {
        return 2;
    }
    if (strcmp(kind, "plain") != 0) {
        CreateWindowA(WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 0, 0, 280, 30, panel, NULL,
                      instance, NULL);
    }
    if (behind) {
        ShowWindow(panel, SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(panel, SW_SHOW);
        SetForegroundWindow(panel);
        SetFocus(panel);
    }
    SetTimer(panel, 1, 100, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    Append("end");
    return 0;
}
