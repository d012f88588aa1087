// KovadoRemove's job: close a running KovadoDeskLink so that its files are
// free, then start the uninstall command the installer registered.
#pragma once
#include <string_view>

#include "platform/AnsiRegistry.h"
#include "platform/Process.h"
#include "platform/WindowCloser.h"

namespace kovado {

struct UninstallServices {
    platform::IWindowCloser* windows = nullptr;
    platform::IAnsiRegistry* registry = nullptr;
    platform::IProcess* process = nullptr;
};

constexpr const char* kMainWindowTitle = "KovadoDeskLink";
constexpr const char* kUninstallKeys = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The command, with its terminating NUL, must fit into this many bytes.
constexpr DWORD kUninstallCommandBytes = 256;

// productCode: the installer's product code in registry form ("{...}").
// Always returns the exit code 0; nothing is shown whatever fails.
int RunUninstallLauncher(const UninstallServices& services, std::string_view productCode);

}  // namespace kovado
