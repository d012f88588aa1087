// Records kept in the view's three lists.
#pragma once
#include <array>
#include <string>

#include "platform/Types.h"

namespace kovado {

// A call known to the system.
struct CallEntry {
    std::wstring id;  // the Skype call id as text
    BYTE state = 0;   // 0 being placed, 1 ringing, 2 in progress
};

// A handset command waiting for the handset's acknowledgement (copied as raw bytes).
struct PendingAck {
    std::array<BYTE, 72> command{};  // code, length, data
    BYTE ticks = 0;                  // ticks since last sent
    BOOL limited = 0;                // given up after a number of resends
    BYTE tries = 0;                  // resends so far
};

// The same, about one call: the call id is the key.
struct KeyedAck {
    std::array<BYTE, 65> command{};
    std::wstring key;
    BYTE ticks = 0;
    BOOL limited = 0;
    BYTE tries = 0;
};

}  // namespace kovado
