// The application: one running instance, found by its frame's title; the
// hidden frame; the message loop until the frame is closed.
#pragma once
#include "platform/Services.h"
#include "platform/win32/Win32Api.h"

namespace kovado {

class CBridgeApp {
public:
    explicit CBridgeApp(platform::Services& services) : m_services(services) {}
    // false: another instance runs, or the frame could not be created; the
    // program then ends without showing anything.
    bool InitInstance();
    // The message loop; the exit code given with the quit request.
    int Run();

    platform::Services& m_services;
    HWND m_hMainWnd = nullptr;
    bool m_bOtherInstance = false;  // why InitInstance gave up
};

// What the program's entry point runs: exit code 0 after a normal end and when
// another instance runs, 1 when the program could not start.
int RunBridgeApp(platform::Services& services);

}  // namespace kovado
