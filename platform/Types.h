// Fixed-width names used across the core, with the widths of the Windows types
// the handset protocol and the settings files are defined in.
#pragma once
#include <cstdint>

namespace kovado {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;

namespace platform {

// Opaque handles; 0 stands for NULL everywhere.
using WindowHandle = std::uintptr_t;
using DeviceHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;
using ThreadId = int;

constexpr WindowHandle kBroadcast = 0xFFFF;  // HWND_BROADCAST

}  // namespace platform
}  // namespace kovado
