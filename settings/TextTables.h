// The keys and built-in texts of the handset text table and of the user texts,
// in the order their keys are tried.
#pragma once
#include <array>
#include <cstddef>

#include "platform/Types.h"

namespace kovado {

constexpr std::size_t kLcdTextSlots = 64;
constexpr std::size_t kLcdTextMax = 64;  // bytes of a slot's text, without its zero

struct MenuTextEntry {
    BYTE slot;
    const char* key;  // matched at the first byte of a menu file line
    const char* text; // in the handset's cell-pair form
};
extern const std::array<MenuTextEntry, 45> kMenuTexts;

constexpr std::size_t kUserTextSlots = 10;

struct UserTextEntry {
    BYTE index;
    const wchar_t* key;  // found anywhere in a user file line
    const wchar_t* text;
};
extern const std::array<UserTextEntry, 8> kUserTexts;

}  // namespace kovado
