// Every operating-system service the core reaches, gathered in one place. A
// backend (Win32, POSIX threads, or the deterministic simulation) fills it in;
// a service a backend does not offer stays null.
#pragma once
#include "platform/Clock.h"
#include "platform/Threads.h"
#include "platform/WindowSystem.h"

namespace kovado::platform {

class IHid;
class IRegistry;
class IProcess;
class IWaveDevices;
class IFiles;
class IRasterizer;
class IKeyInjector;
class ITray;
class IMenus;
class IDialogs;

struct Services {
    IWindowSystem* windows = nullptr;
    IClock* clock = nullptr;
    IThreads* threads = nullptr;
    IHid* hid = nullptr;
    IRegistry* registry = nullptr;
    IProcess* process = nullptr;
    IWaveDevices* wave = nullptr;
    IFiles* files = nullptr;
    IRasterizer* raster = nullptr;
    IKeyInjector* keys = nullptr;
    ITray* tray = nullptr;
    IMenus* menus = nullptr;
    IDialogs* dialogs = nullptr;
};

}  // namespace kovado::platform
