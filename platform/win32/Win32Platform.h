// The services of the Win32 backend, ready to hand to the core. Services this
// backend does not fill in yet stay null.
#pragma once
#include "platform/Services.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Hid.h"
#include "platform/win32/Win32InterimServices.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Rasterizer.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32Tray.h"
#include "platform/win32/Win32WindowSystem.h"

namespace kovado::platform {

class Win32Platform {
public:
    Win32Platform();
    Win32WindowSystem m_windows;
    Win32Clock m_clock;
    Win32Threads m_threads;
    Win32Hid m_hid;
    Win32Tray m_tray;
    // Settings files, resolved against the current directory.
    Win32Files m_files;
    Win32Rasterizer m_raster;
    Win32Menus m_menus;
    Win32Dialogs m_dialogs;
    // INTERIM, replaced at merge by Win32Registry and Win32Wave (same member
    // names); the process and key services are wired then as well.
    Win32InterimRegistry m_registry;
    Win32InterimWave m_wave;
    Services m_services;
};

}  // namespace kovado::platform
