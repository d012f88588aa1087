// The services of the Win32 backend, ready to hand to the core.
#pragma once
#include "platform/Services.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Hid.h"
#include "platform/win32/Win32Keys.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32Rasterizer.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32Tray.h"
#include "platform/win32/Win32Wave.h"
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
    Win32Registry m_registry;
    Win32Process m_process;
    Win32WaveDevices m_wave;
    Win32Keys m_keys;
    // Settings files, resolved against the current directory.
    Win32Files m_files;
    Win32Rasterizer m_raster;
    Win32Menus m_menus;
    Win32Dialogs m_dialogs;
    Services m_services;
};

}  // namespace kovado::platform
