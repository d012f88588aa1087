// KovadoDeskLink.exe: the tray program on the Win32 backend.
#include "platform/win32/Win32Platform.h"
#include "shell/win32/BridgeApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kovado::platform::Win32Platform platform;
    return kovado::RunBridgeApp(platform.m_services);
}
