// The tray icon's mouse events: the right button opens the tray menu, labelled
// afresh from the current language's texts; a double click runs the default
// command.
#include <mutex>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/Menus.h"
#include "settings/Settings.h"
#include "shell/NestedLoop.h"
#include "shell/ShellIds.h"
#include "shell/SystemTray.h"

namespace kovado {

namespace {

struct Labels {
    std::wstring about, exit, selectLanguage;
    std::vector<std::wstring> languages;  // the configured titles, in order
};

Labels CurrentLabels(CBridgeView& view) {
    Labels labels;
    labels.about = UserText(view, kTextAbout);
    labels.exit = UserText(view, kTextExit);
    labels.selectLanguage = UserText(view, kTextSelectLanguage);
    std::lock_guard<platform::Mutex> lock(view.m_settingsLock);
    std::size_t count = std::min<std::size_t>(view.m_nLanguageTitleCount, kMaxLanguages);
    count = std::min(count, view.m_arrLanguageTitles.size());
    labels.languages.assign(view.m_arrLanguageTitles.begin(),
                            view.m_arrLanguageTitles.begin() + static_cast<std::ptrdiff_t>(count));
    return labels;
}

}  // namespace

std::intptr_t CSystemTray::HandleTrayMessage(std::uintptr_t id, std::intptr_t event) {
    if (id != m_uIconId) return 0;
    if (!m_pServices) return 1;  // never added: no menu to show
    switch (static_cast<std::uint32_t>(event) & 0xFFFF) {
        case platform::kWmRButtonUp: return ShowMenu();
        case platform::kWmLButtonDblClk: return DefaultCommand();
        default: return 1;
    }
}

std::intptr_t CSystemTray::ShowMenu() {
    platform::IMenus* menus = m_pServices ? m_pServices->menus : nullptr;
    if (!menus) return 0;
    platform::MenuHandle menu = menus->Load(m_uIconId);
    if (menu == 0) return 0;
    platform::MenuHandle popup = menus->SubMenu(menu, 0);
    if (popup == 0) {
        menus->Destroy(menu);
        return 0;
    }
    menus->SetDefaultItem(popup, m_nDefaultItem, m_bDefaultByPos != 0);

    Labels labels = CurrentLabels(*m_pOwner);
    menus->SetLabel(popup, kCmdAbout, false, labels.about);
    menus->SetLabel(popup, kCmdAppExit, false, labels.exit);
    menus->SetLabel(popup, 0, true, labels.selectLanguage);
    for (UINT i = 0; i < kMaxLanguages; ++i) {
        if (i < labels.languages.size())
            menus->SetLabel(popup, kCmdLanguageFirst + i, false, labels.languages[i]);
        else
            menus->Remove(popup, kCmdLanguageFirst + i);
    }

    // Check marks and enabled states are asked of the target while the menu
    // is open; the chosen command reaches it as WM_COMMAND.
    {
        NestedLoop loop;
        menus->TrackAtCursor(popup, m_hTarget);
    }
    // Lets the menu close properly when the user clicks elsewhere.
    m_pServices->windows->Post(m_hTarget, platform::kWmNull, 0, 0);
    menus->Destroy(menu);
    return 1;
}

std::intptr_t CSystemTray::DefaultCommand() {
    platform::IMenus* menus = m_pServices ? m_pServices->menus : nullptr;
    if (menus) menus->BringToForeground(m_hTarget);
    UINT command = m_nDefaultItem;
    if (m_bDefaultByPos) {
        platform::MenuHandle menu = menus ? menus->Load(m_uIconId) : 0;
        if (menu == 0) return 0;
        platform::MenuHandle popup = menus->SubMenu(menu, 0);
        if (popup == 0) {
            menus->Destroy(menu);
            return 0;
        }
        command = menus->ItemCommand(popup, static_cast<int>(m_nDefaultItem));
        menus->Destroy(menu);
    }
    m_pServices->windows->Send(m_hTarget, platform::kWmCommand, command, 0);
    return 1;
}

}  // namespace kovado
