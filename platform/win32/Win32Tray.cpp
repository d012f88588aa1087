#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Tray.h"

#include <algorithm>

namespace kovado::platform {

Win32Tray::Win32Tray() { m_data.cbSize = NOTIFYICONDATAW_V1_SIZE; }

Win32Tray::~Win32Tray() { Remove(); }

void Win32Tray::SetTip(const std::wstring& tip) {
    constexpr std::size_t kRoom = 63;  // the first layout's tip holds 64 units
    std::size_t n = std::min(tip.size(), kRoom);
    if (n == kRoom && n < tip.size() && tip[n - 1] >= 0xD800 && tip[n - 1] <= 0xDBFF) --n;
    std::copy_n(tip.begin(), n, m_data.szTip);
    m_data.szTip[n] = L'\0';
}

bool Win32Tray::Add(WindowHandle owner, IconHandle icon, const std::wstring& tip,
                    std::uint32_t callbackMessage) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_data.hWnd = reinterpret_cast<HWND>(owner);
    m_data.uID = m_uIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = reinterpret_cast<HICON>(icon);
    SetTip(tip);
    bool ok = Shell_NotifyIconW(NIM_ADD, &m_data) != 0;
    // Adding an icon that is still there fails; it is then brought up to date.
    if (!ok && m_bAdded) ok = Shell_NotifyIconW(NIM_MODIFY, &m_data) != 0;
    m_bAdded = ok;
    return ok;
}

void Win32Tray::Remove() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_bAdded) return;
    m_data.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_bAdded = false;
}

void Win32Tray::ChangeIcon(IconHandle icon) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_bAdded) return;
    m_data.uFlags = NIF_ICON;
    m_data.hIcon = reinterpret_cast<HICON>(icon);
    Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

void Win32Tray::ChangeTip(const std::wstring& tip) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_bAdded) return;
    m_data.uFlags = NIF_TIP;
    SetTip(tip);
    Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

IconHandle Win32Tray::LoadIconFile(const std::wstring& path) {
    // ExtractIconW answers 1, not NULL, for a file that is no icon, program or
    // library; that is no icon either.
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), 0);
    if (reinterpret_cast<std::uintptr_t>(icon) > 1) return reinterpret_cast<IconHandle>(icon);
    HANDLE image = LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0,
                              LR_LOADFROMFILE | LR_DEFAULTSIZE);
    return reinterpret_cast<IconHandle>(image);
}

// A private copy, which DestroyIcon may destroy (a shared one may not be).
IconHandle Win32Tray::LoadIconResource(UINT resource) {
    return reinterpret_cast<IconHandle>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(resource), IMAGE_ICON, 32,
                                                   32, 0));
}

void Win32Tray::DestroyIcon(IconHandle icon) {
    if (icon != 0) ::DestroyIcon(reinterpret_cast<HICON>(icon));
}

}  // namespace kovado::platform
