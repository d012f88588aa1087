#pragma once

namespace kovado {

class CBridgeView;

class CDeviceWatcher {
public:
    explicit CDeviceWatcher(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CDeviceWatcher() = default;
    CBridgeView* m_pOwner;
};

}  // namespace kovado
