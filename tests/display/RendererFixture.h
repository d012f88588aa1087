// A renderer inside a whole simulated bridge, with the commands it pushed
// on either queue read back as bytes.
#pragma once
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "display/DisplayRenderer.h"
#include "simulator/harness/SimBridge.h"
#include "tests/support/Queued.h"
#include "transport/DeviceWriter.h"

namespace kovado::test {

using Bytes = std::vector<BYTE>;

// "05 03 00 C3 A9" -> bytes.
inline Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte) bytes.push_back(static_cast<BYTE>(std::strtoul(byte.c_str(), nullptr, 16)));
    return bytes;
}

inline Bytes Concat(Bytes head, const std::string& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct RendererFixture {
    sim::SimBridge bridge{false};
    CBridgeView& view = *bridge.m_view;
    CDisplayRenderer& renderer = *view.m_pRenderer;
    CDeviceWriter& writer = *view.m_pWriter;

    // The commands pushed since the last call.
    std::vector<Bytes> Talvery() { return TakeQueued(writer, false); }
    std::vector<Bytes> Main() { return TakeQueued(writer, true); }
};

}  // namespace kovado::test
