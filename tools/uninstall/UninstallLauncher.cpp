#include "tools/uninstall/UninstallLauncher.h"

#include <algorithm>
#include <array>
#include <string>

namespace kovado {

int RunUninstallLauncher(const UninstallServices& services, std::string_view productCode) {
    if (platform::WindowHandle mainWindow = services.windows->Find(kMainWindowTitle)) {
        services.windows->SendClose(mainWindow);
    }

    std::string keyPath = std::string(kUninstallKeys) + std::string(productCode);
    platform::RegKey key = 0;
    // The installer is 64-bit and registers itself in the 64-bit view.
    if (services.registry->Open(platform::RegRoot::LocalMachine, keyPath, platform::kKeyRead,
                                platform::RegView::Bits64, key) != platform::kRegOk) {
        return 0;
    }
    std::array<BYTE, kUninstallCommandBytes> buffer{};
    DWORD type = 0;
    DWORD size = kUninstallCommandBytes;
    long read = services.registry->Query(key, "UninstallString", type, buffer.data(), size);
    services.registry->Close(key);
    if (read != platform::kRegOk) {
        return 0;
    }

    // The command ends at its NUL; a value filling all 256 bytes without one
    // has no room for it and is not started (it would run on past the buffer).
    size = std::min(size, kUninstallCommandBytes);
    auto end = std::find(buffer.begin(), buffer.begin() + size, BYTE{0});
    if (end == buffer.end()) {
        return 0;
    }
    std::string command(buffer.begin(), end);
    if (!command.empty()) {
        services.process->WinExec(command, platform::kSwShowNormal);
    }
    return 0;
}

}  // namespace kovado
