#include "shell/FrameStart.h"

#include <mutex>

#include "bridge/BridgeView.h"
#include "discovery/DeviceWatcher.h"
#include "shell/ShellIds.h"

namespace kovado {

namespace {
constexpr std::uint32_t kTickMs = 50;
constexpr std::uint32_t kFirstPassPauseMs = 50;
}  // namespace

bool StartFrame(CBridgeView& view, platform::WindowHandle frame) {
    platform::Services& services = *view.m_pPlatform;
    if (!view.Create(frame)) return false;
    view.m_tray.m_hTarget = frame;

    // Gives supervision's first pass a moment to decide the first icon.
    services.clock->Sleep(kFirstPassPauseMs);
    {
        // Read and added under the watcher's lock, so a change supervision
        // makes meanwhile is either in what is added or made after it.
        CDeviceWatcher& watcher = *view.m_pWatcher;
        std::lock_guard<platform::Mutex> lock(watcher.m_trayLock);
        if (!view.m_tray.AddToTray(0, kTrayCallbackMessage, watcher.m_strTip, watcher.m_hIcon,
                                   kIdTrayMenu))
            return false;
    }

    view.m_nTickTimer = services.windows->SetTimer(view.m_hWnd, kTickTimerId, kTickMs);
    return view.m_nTickTimer != 0;
}

}  // namespace kovado
