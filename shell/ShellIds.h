// Resource numbers and identifiers of the shell. The resource script
// (shell/win32/res) uses the same numbers.
#pragma once

#include "platform/Types.h"

namespace kovado {

// Icons: the program's, then the four tray states.
constexpr UINT kIdProgramIcon = 128;
constexpr UINT kIdIconOk = 130;
constexpr UINT kIdIconSkypeFail = 131;
constexpr UINT kIdIconUsbFail = 132;
constexpr UINT kIdIconSkypeMissing = 141;

// The tray icon's identifier, which is also the number of its menu.
constexpr UINT kIdTrayMenu = 133;
constexpr UINT kTrayCallbackMessage = 0x0400 + 10;  // WM_USER + 10

constexpr UINT kIdDebugDialog = 134;
constexpr UINT kIdLogList = 1000;
constexpr UINT kIdClear = 1001;
constexpr UINT kIdSave = 1003;

constexpr UINT kIdAboutDialog = 142;
constexpr UINT kIdAboutTrademark = 1004;
constexpr UINT kIdAboutName = 1007;
constexpr UINT kIdAboutPicture = 1008;

constexpr UINT kIdOk = 1;
constexpr UINT kIdCancel = 2;

// The standard exit command of the application.
constexpr UINT kCmdAppExit = 57665;

}  // namespace kovado
