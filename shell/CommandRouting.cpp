#include "shell/CommandRouting.h"

#include "bridge/BridgeView.h"
#include "settings/Settings.h"

namespace kovado {

namespace {
bool IsLanguageCommand(UINT id) { return id >= kCmdLanguageFirst && id <= kCmdLanguageLast; }
}  // namespace

bool OfferCommandToView(CBridgeView& view, UINT id) {
    if (id != kCmdAbout && id != kCmdShowDebugWindow && !IsLanguageCommand(id)) return false;
    view.OnCommand(id);
    return true;
}

bool OfferCommandUiToView(CBridgeView& view, UINT id, ICommandUi& ui) {
    if (!IsLanguageCommand(id)) return false;
    UpdateLanguageItem(view, static_cast<BYTE>(id - kCmdLanguageFirst), ui);
    return true;
}

}  // namespace kovado
