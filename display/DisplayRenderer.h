#pragma once

namespace kovado {

class CBridgeView;

class CDisplayRenderer {
public:
    explicit CDisplayRenderer(CBridgeView* owner) : m_pOwner(owner) {}
    virtual ~CDisplayRenderer() = default;
    // Resends the commands the handset has not acknowledged yet.
    void ResendTick() { ++m_nResendTicks; }
    CBridgeView* m_pOwner;
    int m_nResendTicks = 0;
};

}  // namespace kovado
