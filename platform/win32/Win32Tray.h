// The notification-area icon through Shell_NotifyIconW, in the record's first
// layout; icons from files through ExtractIconW or LoadImageW.
#pragma once
#include <mutex>

#include "platform/Tray.h"
#include "platform/win32/Win32Api.h"

namespace kovado::platform {

class Win32Tray : public ITray {
public:
    Win32Tray();
    ~Win32Tray() override;  // removes the icon if still there

    // Adds the icon (again after the shell restarted: "TaskbarCreated").
    bool Add(WindowHandle owner, IconHandle icon, const std::wstring& tip,
             std::uint32_t callbackMessage) override;
    void Remove() override;
    void ChangeIcon(IconHandle icon) override;
    // Tips longer than the record's 63 units are cut there (never inside a
    // surrogate pair).
    void ChangeTip(const std::wstring& tip) override;
    IconHandle LoadIconFile(const std::wstring& path) override;
    IconHandle LoadIconResource(UINT resource) override;
    void DestroyIcon(IconHandle icon) override;

    // The icon's identifier, which is also the tray menu's resource number.
    UINT m_uIconId = 133;
    bool m_bAdded = false;
    NOTIFYICONDATAW m_data{};

private:
    void SetTip(const std::wstring& tip);
    std::mutex m_lock;  // the record: changes come from the supervision thread
};

}  // namespace kovado::platform
