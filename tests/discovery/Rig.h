// The bridge in virtual time with what supervision needs to be watched: the
// four status icons, the default tooltip texts, an optional debug log and the
// tray icon added as the frame adds it.
#pragma once
#include <string>
#include <vector>

#include "discovery/DeviceWatcher.h"
#include "shell/DebugDlg.h"
#include "simulator/harness/SimBridge.h"

namespace kovado::test {

constexpr platform::IconHandle kIconOk = 130;
constexpr platform::IconHandle kIconSkypeFail = 131;
constexpr platform::IconHandle kIconUsbFail = 132;
constexpr platform::IconHandle kIconSkypeMissing = 141;

inline const std::wstring kSkypeKey = L"Software\\Skype\\Phone";
inline const std::wstring kProductKey = L"Software\\KOVADO";

struct Rig {
    explicit Rig(bool startSkype = false) : bridge(startSkype) {
        view.m_hIconOk = kIconOk;
        view.m_hIconSkypeFail = kIconSkypeFail;
        view.m_hIconUsbFail = kIconUsbFail;
        view.m_hIconSkypeMissing = kIconSkypeMissing;
        view.m_arrUserTexts[kTipConnected] = L"Kovado";
        view.m_arrUserTexts[kTipNoSkype] = L"Can't Find Skype";
        view.m_arrUserTexts[kTipNoHandset] = L"Can't Find USB Phone";
        view.m_arrUserTexts[kTipSkypeMissing] = L"Skype isn't installed";
    }

    void EnableLog() {
        view.m_bDebug = 1;
        view.m_pDebugDlg = new CDebugDlg(sim.m_services);
        view.m_pDebugDlg->m_pOwner = &view;
        view.m_pDebugDlg->Create();
    }
    // Oldest line first.
    std::vector<std::wstring> Log() const {
        return {view.m_pDebugDlg->m_lines.rbegin(), view.m_pDebugDlg->m_lines.rend()};
    }

    void InstallSkype(platform::RegRoot root = platform::RegRoot::CurrentUser,
                      std::size_t pathBytes = 40,
                      platform::RegView view = platform::RegView::Native) {
        sim.m_registry.SetValue(root, kSkypeKey, L"SkypePath", platform::kRegSz,
                                std::vector<BYTE>(pathBytes, 'a'), view);
    }
    void UninstallSkype() {
        sim.m_registry.DeleteKey(platform::RegRoot::CurrentUser, kSkypeKey);
        sim.m_registry.DeleteKey(platform::RegRoot::LocalMachine, kSkypeKey);
    }
    void SetToolFlag(DWORD type, std::vector<BYTE> bytes) {
        sim.m_registry.SetValue(platform::RegRoot::LocalMachine, kProductKey, L"Tambrelo", type,
                                std::move(bytes));
    }

    // The frame's step: add the icon with what the watcher holds.
    void AddTrayIcon() {
        platform::IconHandle icon;
        std::wstring tip;
        view.m_pWatcher->TrayState(icon, tip);
        sim.m_tray.Add(bridge.m_hFrame, icon, tip, 1034);
    }

    // Skype commands received so far, in order.
    std::vector<std::string> Commands() const {
        std::vector<std::string> texts;
        for (const auto& c : bridge.m_skype.m_commands) texts.push_back(c.text);
        return texts;
    }

    sim::SimBridge bridge;
    CBridgeView& view = *bridge.m_view;
    platform::SimPlatform& sim = bridge.m_sim;
};

}  // namespace kovado::test
