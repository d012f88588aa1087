// Discovery: the search for the handset among the HID interfaces, and the
// check that notices it has gone.
#include "discovery/DeviceWatcher.h"

#include <cstdio>

#include "bridge/BridgeView.h"

namespace kovado {

CDeviceWatcher::CDeviceWatcher(CBridgeView* owner) : m_pOwner(owner) {}

platform::DeviceHandle CDeviceWatcher::OpenInterface(int index) {
    return m_pOwner->m_pPlatform->hid->OpenInterface(index);
}

platform::DeviceHandle CDeviceWatcher::FindHandset() {
    CBridgeView& view = *m_pOwner;
    platform::IHid& hid = *view.m_pPlatform->hid;
    if (!hid.BeginEnumeration()) return 0;
    // Every interface of the snapshot is examined: each top-level collection
    // of each HID device is one (keyboards, consumer and system controls,
    // touchpads, sensors, vendor pages), and a laptop often has many more
    // than the handset's position could be guessed from.
    for (int i = 0;; ++i) {
        platform::DeviceHandle h = OpenInterface(i);
        if (h != 0 && hid.GetAttributes(h, m_attributes) &&
            m_attributes.vendorId == view.m_nVendorId) {
            if (view.m_bDebug) {
                wchar_t line[32];
                std::swprintf(line, 32, L"PID : 0X%X",
                              static_cast<unsigned>(m_attributes.productId));
                m_strScratch = line;
                view.WriteLog(m_strScratch);
            }
            WORD product = m_attributes.productId;
            if (product == view.m_nPid6612) {
                view.SetModel6612();
            } else if (product == view.m_nPid6621) {
                view.SetModel6621();
            } else if (product == view.m_nPid6611) {
                view.SetModel6611();
            } else {
                // A device of the vendor that is none of the models ends the search.
                hid.Close(h);
                hid.EndEnumeration();
                return 0;
            }
            hid.EndEnumeration();
            return h;
        }
        if (h == 0) break;  // no interface at this index: the end of the set
        if (h != platform::kInvalidDevice) hid.Close(h);
    }
    hid.EndEnumeration();
    return 0;
}

void CDeviceWatcher::CheckDevice() {
    CBridgeView& view = *m_pOwner;
    platform::IHid& hid = *view.m_pPlatform->hid;
    if (hid.GetAttributes(view.m_hDevice, m_attributes)) return;
    if (view.m_hDevice != 0) {
        // The device loop holds this lock for each read and each write: the
        // close cannot overlap one, and later writes find no handle.
        std::lock_guard<platform::Mutex> lock(view.m_deviceLock);
        platform::DeviceHandle gone = view.m_hDevice.exchange(0);
        if (gone != 0) hid.Close(gone);
    }
    // The handset's text variant is chosen again by the next handset.
    view.m_nChineseVariant = 0xFF;
}

}  // namespace kovado
