// The checks of the Windows test programs: each failed check prints its text;
// the program ends with the tally and exits non-zero when anything failed. A
// watchdog ends a program that hangs.
#pragma once
#include <cstdio>

#include "platform/win32/Win32Api.h"

namespace kovado::wintest {

inline int g_nPassed = 0;
inline int g_nFailed = 0;

inline void Check(bool ok, const char* what) {
    if (ok) {
        ++g_nPassed;
        return;
    }
    ++g_nFailed;
    std::printf("FAILED: %s\n", what);
    std::fflush(stdout);
}

inline void StartWatchdog(::DWORD seconds) {
    static ::DWORD s_seconds = seconds;
    CreateThread(
        nullptr, 0,
        [](void*) -> ::DWORD {
            Sleep(s_seconds * 1000);
            std::printf("FAILED: still running after %lu s\n", static_cast<unsigned long>(s_seconds));
            std::fflush(stdout);
            ExitProcess(2);
        },
        nullptr, 0, nullptr);
}

inline int Finish() {
    std::printf("%d passed, %d failed\n", g_nPassed, g_nFailed);
    std::fflush(stdout);
    return g_nFailed == 0 ? 0 : 1;
}

}  // namespace kovado::wintest
