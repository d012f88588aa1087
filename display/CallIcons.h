// The three built-in call icons of the history picture: 16 pixels wide, 15
// high, one row a 16-bit value whose most significant bit is the leftmost
// pixel, 1 = ink.
#pragma once
#include <array>

#include "platform/Types.h"

namespace kovado::display {

using IconRows = std::array<WORD, 15>;

// An arrow bent into a V, its head up to the right.
constexpr IconRows kMissedCallIcon{0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0878, 0x1C38, 0x0E78,
                                   0x07E8, 0x03C0, 0x0180, 0x0000, 0x0000, 0x0000, 0x0000};
// An arrow pointing down to the right.
constexpr IconRows kIncomingCallIcon{0x0000, 0x0000, 0x0000, 0x0000, 0x0400, 0x0E00, 0x0700, 0x0380,
                                     0x01D0, 0x00F0, 0x0070, 0x00F0, 0x0000, 0x0000, 0x0000};
// An arrow pointing up to the left.
constexpr IconRows kOutgoingCallIcon{0x0000, 0x0000, 0x0000, 0x0000, 0x0F00, 0x0E00, 0x0F00, 0x0B80,
                                     0x01C0, 0x00E0, 0x0070, 0x0020, 0x0000, 0x0000, 0x0000};

// Kinds of the history picture.
constexpr BYTE kKindMissed = 1;
constexpr BYTE kKindIncoming = 2;

}  // namespace kovado::display
