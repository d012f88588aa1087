#pragma once

namespace kovado {

class CBridgeView;

class CDeviceReader {
public:
    explicit CDeviceReader(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CDeviceReader() = default;
    CBridgeView* m_pOwner;
};

}  // namespace kovado
