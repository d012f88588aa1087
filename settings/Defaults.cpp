#include <algorithm>
#include <cstring>
#include <mutex>

#include "bridge/BridgeView.h"
#include "settings/Settings.h"
#include "settings/TextTables.h"

namespace kovado {

void ApplyDefaults(CBridgeView& view) {
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    view.m_nChineseVariant = kNoVariant;
    view.m_bDebug = 0;
    view.m_bHandshake = 1;
    view.m_bCtrlPipe = 1;
    view.m_bQuickReply = 0;
    if (view.m_arrUserTexts.size() < kUserTextSlots) view.m_arrUserTexts.resize(kUserTextSlots);
    for (const UserTextEntry& entry : kUserTexts) view.m_arrUserTexts[entry.index] = entry.text;
    view.m_nPid6611 = kModel6611;
    view.m_nPid6612 = kModel6612;
    view.m_nPid6621 = kModel6621;
    view.m_nVendorId = 0x0E5E;
    for (const MenuTextEntry& entry : kMenuTexts) {
        auto& slot = view.m_aLcdTexts[entry.slot];
        slot.fill(0);
        std::memcpy(slot.data(), entry.text, std::min(std::strlen(entry.text), kLcdTextMax));
    }
}

}  // namespace kovado
