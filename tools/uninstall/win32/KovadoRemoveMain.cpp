// KovadoRemove: a windowless program that closes a running KovadoDeskLink and
// starts the registered uninstall command. It shows nothing and always ends
// with exit code 0.
#include <windows.h>

#include "ProductCode.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowCloser.h"
#include "tools/uninstall/UninstallLauncher.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kovado::platform::Win32WindowCloser windows;
    kovado::platform::Win32Registry registry;
    kovado::platform::Win32Process process;
    return kovado::RunUninstallLauncher({&windows, &registry, &process}, kovado::kProductCode);
}
