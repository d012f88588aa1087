// The tray icon: a hidden notification window that receives the icon's mouse
// events, and the icon's record of icon and tooltip. The icon itself is shown
// by the platform's tray, which ignores changes while the icon is not added.
#pragma once
#include <string>

#include "platform/Mutex.h"
#include "platform/Services.h"
#include "platform/Types.h"
#include "platform/WindowSystem.h"

namespace kovado {

class CBridgeView;

class CSystemTray : public platform::IWindowClient {
public:
    CSystemTray() = default;
    ~CSystemTray() override;  // removes the icon and the notification window
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    // parent 0: the notification window receives the icon's events.
    bool AddToTray(platform::WindowHandle parent, UINT callbackMessage, const std::wstring& tip,
                   platform::IconHandle icon, UINT id);
    void RemoveFromTray();
    // Called by supervision, with or without the icon added.
    void ChangeIcon(platform::IconHandle icon);
    void ChangeTip(const std::wstring& tip);

    // 0 when the event is for another icon, 1 otherwise.
    virtual std::intptr_t HandleTrayMessage(std::uintptr_t id, std::intptr_t event);

    std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    CBridgeView* m_pOwner = nullptr;
    BOOL m_bAdded = 0;
    platform::WindowHandle m_hWnd = 0;        // the notification window
    platform::WindowHandle m_hRecordWnd = 0;  // the window the icon's events go to
    UINT m_uIconId = 0;
    UINT m_uCallbackMessage = 0;
    platform::IconHandle m_hIcon = 0;  // under m_lock
    std::wstring m_strTip;             // under m_lock
    UINT m_nDefaultItem = 0;
    BOOL m_bDefaultByPos = 0;

    // Beyond the record: the window that receives the menu's commands (the
    // application's main window, set by the frame), the message the shell
    // broadcasts when it has restarted, the services the icon was added with,
    // and the lock that keeps a re-add from reading icon and tooltip while
    // supervision changes them.
    platform::WindowHandle m_hTarget = 0;
    UINT m_nTaskbarCreated = 0;
    platform::Services* m_pServices = nullptr;
    platform::Mutex m_lock;

private:
    std::intptr_t ShowMenu();
    std::intptr_t DefaultCommand();
    void AddAgain();
};

}  // namespace kovado
