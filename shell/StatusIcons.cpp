#include "shell/StatusIcons.h"

#include "bridge/BridgeView.h"
#include "platform/Tray.h"
#include "shell/ShellIds.h"

namespace kovado {

namespace {

struct StatusIcon {
    platform::IconHandle CBridgeView::*field;
    const wchar_t* file;
    UINT resource;
};

constexpr StatusIcon kStatusIcons[] = {
    {&CBridgeView::m_hIconOk, L"setting\\allpass.ico", kIdIconOk},
    {&CBridgeView::m_hIconSkypeFail, L"setting\\Skypefail.ico", kIdIconSkypeFail},
    {&CBridgeView::m_hIconSkypeMissing, L"setting\\SkypeUninstall.ico", kIdIconSkypeMissing},
    {&CBridgeView::m_hIconUsbFail, L"setting\\USBfail.ico", kIdIconUsbFail},
};

}  // namespace

void LoadStatusIcons(CBridgeView& view) {
    for (const StatusIcon& icon : kStatusIcons) view.*icon.field = 0;
    platform::ITray* tray = view.m_pPlatform->tray;
    if (!tray) return;
    for (const StatusIcon& icon : kStatusIcons) {
        platform::IconHandle handle = tray->LoadIconFile(icon.file);
        if (handle == 0) handle = tray->LoadIconResource(icon.resource);
        view.*icon.field = handle;
    }
}

}  // namespace kovado
