#include "bridge/BridgeView.h"
#include "discovery/DeviceWatcher.h"
#include "transport/Thread.h"

namespace kovado {

namespace {
constexpr std::uint32_t kPassMs = 1500;
constexpr std::uint32_t kPassWithoutSkypeMs = 3000;
}  // namespace

// The supervision loop. While Skype is not installed nothing else is looked
// at: the handset is neither checked nor searched.
void CThread2::Run() {
    CBridgeView& view = *m_pOwner;
    platform::Services& services = *view.m_pPlatform;
    // A backend without HID and registry services has nothing to supervise.
    if (!services.hid || !services.registry) return;
    CDeviceWatcher& watcher = *view.m_pWatcher;
    while (!StopRequested()) {
        if (!watcher.CheckSkypeInstalled()) {
            services.clock->Sleep(kPassWithoutSkypeMs);
            continue;
        }
        watcher.CheckDevice();
        if (view.m_hDevice != 0)
            watcher.SuperviseOpen();
        else
            watcher.SearchHandset();
        services.clock->Sleep(kPassMs);
    }
}

}  // namespace kovado
