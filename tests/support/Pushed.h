// The commands the bridge pushed on the handset's two queues, read back as
// bytes (code, length, data); each call returns those pushed since the last.
#pragma once
#include <utility>
#include <vector>

#include "bridge/BridgeView.h"
#include "transport/DeviceWriter.h"

namespace kovado::test {

using Bytes = std::vector<BYTE>;

inline std::vector<Bytes> TakeMain(CBridgeView& view) {
    return std::exchange(view.m_pWriter->m_mainPushed, {});
}

inline std::vector<Bytes> TakeTalvery(CBridgeView& view) {
    return std::exchange(view.m_pWriter->m_talveryPushed, {});
}

}  // namespace kovado::test
