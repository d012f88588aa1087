// The About box, dialog 142: the allpass icon, the product name and the
// trade-mark line in the current language, and the fixed version line.
#pragma once
#include "platform/Services.h"

namespace kovado {

class CBridgeView;

class CAboutBox : public platform::IWindowClient {
public:
    explicit CAboutBox(CBridgeView* owner) : m_pOwner(owner) {}
    // Shows the box and returns when the user has closed it.
    std::intptr_t DoModal();
    void OnInitDialog();
    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    CBridgeView* m_pOwner;
    platform::WindowHandle m_hWnd = 0;
};

// Command 142 of the view.
void RunAboutBox(CBridgeView& view);

}  // namespace kovado
