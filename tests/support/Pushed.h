// The commands the bridge pushed on the handset's two queues, read back as
// bytes (code, length, data); each call returns those pushed since the last.
#pragma once
#include <vector>

#include "bridge/BridgeView.h"
#include "tests/support/Queued.h"

namespace kovado::test {

using Bytes = std::vector<BYTE>;

inline std::vector<Bytes> TakeMain(CBridgeView& view) { return TakeQueued(*view.m_pWriter, true); }

inline std::vector<Bytes> TakeTalvery(CBridgeView& view) {
    return TakeQueued(*view.m_pWriter, false);
}

}  // namespace kovado::test
