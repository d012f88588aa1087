// Device names in the system's ANSI code page: comparisons that ignore the
// case of letters without ever folding the second byte of a two-byte
// character, and the short form by which the Sounds panel's lists are matched.
#pragma once
#include <string>
#include <string_view>

#include "platform/SystemInfo.h"

namespace kovado {

// Negative, zero or positive as a sorts before, with or after b. Single-byte
// letters compare as lower case; two-byte characters compare exactly.
int CompareNoCase(std::string_view a, std::string_view b, platform::ISystemInfo& system);

inline bool EqualNoCase(std::string_view a, std::string_view b, platform::ISystemInfo& system) {
    return CompareNoCase(a, b, system) == 0;
}

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The word that follows the first "(": "Speakers (USB Audio Device)" gives
// "USB", "USB Audio Device" gives "USB"; empty when no space follows it, so
// "Headset" gives "".
std::string ShortDeviceName(std::string_view name);

}  // namespace kovado
