#include "shell/AboutBox.h"

#include <string>

#include "bridge/BridgeView.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"
#include "shell/NestedLoop.h"
#include "shell/ShellIds.h"

namespace kovado {

namespace {

// The one user-text slot without a key of its own carries the trade-mark line.
constexpr int kTextTrademark = 7;

void SetText(platform::IWindowSystem& windows, platform::WindowHandle window,
             const std::wstring& text) {
    windows.Send(window, platform::kWmSetText, 0, reinterpret_cast<std::intptr_t>(text.c_str()));
}

}  // namespace

std::intptr_t CAboutBox::DoModal() {
    platform::IDialogs* dialogs = m_pOwner->m_pPlatform->dialogs;
    if (!dialogs) return -1;
    NestedLoop loop;
    return dialogs->RunModal(kIdAboutDialog, this);
}

// The version line of the template stays as it is.
void CAboutBox::OnInitDialog() {
    CBridgeView& view = *m_pOwner;
    platform::IDialogs& dialogs = *view.m_pPlatform->dialogs;
    platform::IWindowSystem& windows = *view.m_pPlatform->windows;
    if (view.m_hIconOk != 0)
        windows.Send(dialogs.Item(m_hWnd, kIdAboutPicture), platform::kStmSetIcon,
                     view.m_hIconOk, 0);
    SetText(windows, dialogs.Item(m_hWnd, kIdAboutName), UserText(view, kTextProductName));
    SetText(windows, m_hWnd, UserText(view, kTextAbout));
    SetText(windows, dialogs.Item(m_hWnd, kIdAboutTrademark), UserText(view, kTextTrademark));
}

std::intptr_t CAboutBox::WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t) {
    if (message == platform::kWmInitDialog) {
        m_hWnd = static_cast<platform::WindowHandle>(wParam);
        OnInitDialog();
        return 1;
    }
    if (message == platform::kWmCommand) {
        UINT id = static_cast<UINT>(wParam & 0xFFFF);
        if (id == kIdOk || id == kIdCancel) m_pOwner->m_pPlatform->dialogs->End(m_hWnd, id);
    }
    return 0;
}

void RunAboutBox(CBridgeView& view) {
    CAboutBox box(&view);
    box.DoModal();
}

}  // namespace kovado
