#include "settings/Settings.h"

#include "bridge/BridgeView.h"

namespace kovado {

void ApplyDefaults(CBridgeView& view) {
    view.m_nChineseVariant = 0xFF;
    view.m_bDebug = 0;
    view.m_bHandshake = 1;
    view.m_bCtrlPipe = 1;
    view.m_nVendorId = 0x0E5E;
    view.m_nPid6611 = kModel6611;
    view.m_nPid6612 = kModel6612;
    view.m_nPid6621 = kModel6621;
}

void LoadParameterSettings(CBridgeView&) {}
void LoadLanguageList(CBridgeView&) {}
void LoadMenuTexts(CBridgeView&) {}
void LoadUserTexts(CBridgeView&) {}
void OnLanguageCommand(CBridgeView&, unsigned) {}

}  // namespace kovado
