// The attach handshake: the Skype client answers the discover broadcast with
// the attach message, whose status says whether the link may be used.
#include "bridge/BridgeView.h"

namespace kovado {

void CBridgeView::OnAttach(std::uintptr_t wParam, std::intptr_t lParam) {
    auto& windows = *m_pPlatform->windows;
    switch (lParam) {
        case 0:
            WriteLog(L"!!! Connected; to terminate issue #disconnect");
            m_hSkypeWnd = static_cast<platform::WindowHandle>(wParam);
            break;
        case 1: WriteLog(L"!!! Pending authorization"); break;
        case 2: WriteLog(L"!!! Connection refused"); break;
        case 3: WriteLog(L"!!! Skype API not available"); break;
        case 0x8001: WriteLog(L"!!! Try connect now (API available); issue #connect"); break;
        default: break;
    }
    windows.ReplyMessage(1);
}

}  // namespace kovado
