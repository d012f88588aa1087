// Shared between the window procedure and the window system.
#pragma once
#include "platform/win32/Win32Api.h"

namespace kovado::platform {

// The backend's window class, registered on first use.
const wchar_t* WindowClassName();
// Sent to a window of another thread to have that thread destroy it (Win32
// lets only the owning thread destroy a window).
UINT DestroyRequestMessage();

}  // namespace kovado::platform
