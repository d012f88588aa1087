// The input of the bridge's fuzz targets: two setup bytes, then records, each
// a control byte and what its kind takes. Both targets read the same records;
// each gives most control values to its own entry point:
//   report     n, n bytes: an input report from its type on
//   copy-data  n, n bytes (n in one byte, or two little-endian bytes; or a
//              null pointer with count n; or the bytes and a NUL): a message
//              from Skype through the view's window
//   tick       t: the view's timer t & 1
//   state      s: conversation state s & 3, sub-mode (s >> 2) & 3; bit 4 Skype
//              detached, bit 5 user handle forgotten, bit 6 handset unplugged,
//              bit 7 Skype refuses the sends from now on
//   attach     a: an attach message; a < 5 picks 0, 1, 2, 3, 0x8001
//   language   l: the tray's language command 200 + l % 20
// Setup byte 0: bits 0-1 model (6611, 6612, 6621 not yet ready, 6621 ready),
// bits 2-3 conversation state, bits 4-5 sub-mode, bit 6 Skype detached, bit 7
// user handle known. Byte 1: bit 0 debug log, bit 1 acknowledgements off,
// bit 2 interrupt writes instead of feature reports, bit 3 the newer Skype,
// bit 4 status not yet answered.
#pragma once
#include <array>
#include <cstddef>

#include "platform/Types.h"

namespace kovado::fuzz {

enum class Kind : BYTE { Report, CopyData, CopyDataLong, CopyDataNull, CopyDataNul, Tick, State, Attach, Language };

// What each of the eight values of a control byte's low bits stands for.
using KindMap = std::array<Kind, 8>;

inline constexpr KindMap kHandsetKinds{Kind::Report, Kind::Report, Kind::Report, Kind::Report,
                                       Kind::CopyDataNul, Kind::Tick, Kind::State, Kind::Attach};
// Copy-data picks its form from bits 3-4 of the control byte instead.
inline constexpr KindMap kSkypeKinds{Kind::CopyData, Kind::CopyData, Kind::CopyData, Kind::Report,
                                     Kind::Tick,     Kind::State,    Kind::Attach,   Kind::Language};

// The control byte of a kind under a map; 0xFF when the map has none.
inline BYTE ControlOf(const KindMap& map, Kind kind) {
    for (BYTE i = 0; i < map.size(); ++i)
        if (map[i] == kind) return i;
    const auto form = static_cast<int>(kind) - static_cast<int>(Kind::CopyData);
    if (form > 0 && form < 4)
        for (BYTE i = 0; i < map.size(); ++i)
            if (map[i] == Kind::CopyData) return static_cast<BYTE>(i | form << 3);
    return 0xFF;
}

}  // namespace kovado::fuzz
