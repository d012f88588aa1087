// Window message numbers. The values are the Windows ones so that the Win32
// layer passes them through unchanged.
#pragma once
#include <cstdint>

namespace kovado::platform {

constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmSetText = 0x000C;
constexpr std::uint32_t kWmPaint = 0x000F;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kWmCopyData = 0x004A;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmTimer = 0x0113;
constexpr std::uint32_t kStmSetIcon = 0x0170;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmUser = 0x0400;
constexpr std::uint32_t kWmApp = 0x8000;
constexpr std::uint32_t kLbInsertString = 0x0181;
constexpr std::uint32_t kLbResetContent = 0x0184;
constexpr std::uint32_t kLbGetText = 0x0189;
constexpr std::uint32_t kLbGetTextLen = 0x018A;
constexpr std::uint32_t kLbGetCount = 0x018B;
constexpr std::intptr_t kLbErr = -1;

// The payload of a copy-data message (COPYDATASTRUCT). The receiver sees a copy
// of the sender's bytes that lives while the message is being handled.
struct CopyData {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};

struct Message {
    std::uintptr_t hwnd = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

}  // namespace kovado::platform
