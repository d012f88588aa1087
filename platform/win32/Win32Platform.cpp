#include "platform/win32/Win32Platform.h"

namespace kovado::platform {

Win32Platform::Win32Platform() {
    m_services.windows = &m_windows;
    m_services.clock = &m_clock;
    m_services.threads = &m_threads;
    m_services.hid = &m_hid;
    m_services.tray = &m_tray;
    m_services.registry = &m_registry;
    m_services.process = &m_process;
    m_services.wave = &m_wave;
    m_services.keys = &m_keys;
    m_services.files = &m_files;
    m_services.raster = &m_raster;
    m_services.menus = &m_menus;
    m_services.dialogs = &m_dialogs;
}

}  // namespace kovado::platform
