// A whole simulated bridge attached to the simulated Skype client, for tests
// that drive notifications through the router and read what came out: the
// commands pushed for the handset and the Skype commands sent.
#pragma once
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/BridgeView.h"
#include "simulator/harness/SimBridge.h"
#include "tests/support/Pushed.h"

namespace kovado::test {

// "11 04 00 00 0C 04" -> bytes.
inline Bytes FromHex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte) bytes.push_back(static_cast<BYTE>(std::strtoul(byte.c_str(), nullptr, 16)));
    return bytes;
}

inline std::vector<Bytes> HexList(const std::vector<std::string>& texts) {
    std::vector<Bytes> list;
    for (const std::string& text : texts) list.push_back(FromHex(text));
    return list;
}

// A Skype command as the client received it, with the reply mode in force.
struct Sent {
    std::string text;
    int mode;
    int subMode;
    bool operator==(const Sent&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Sent& sent) {
    return out << '"' << sent.text << "\" (" << sent.mode << ", " << sent.subMode << ')';
}

struct HandlerRig {
    sim::SimBridge bridge;
    CBridgeView& view = *bridge.m_view;
    std::size_t seen = 0;

    HandlerRig() {
        bridge.CreateWindows();
        bridge.Discover();
        TakeMain(view);
        TakeTalvery(view);
        seen = bridge.m_skype.m_commands.size();
    }

    // One notification from Skype, handled before this returns.
    void Notify(const std::string& text) {
        bridge.m_skype.Notify(text);
        bridge.RunFor(20);
    }
    void NotifyAll(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) Notify(text);
    }

    // The Skype commands sent since the last call.
    std::vector<Sent> TakeSent() {
        std::vector<Sent> sent;
        const auto& commands = bridge.m_skype.m_commands;
        for (; seen < commands.size(); ++seen)
            sent.push_back(Sent{commands[seen].text, commands[seen].replyMode,
                                commands[seen].replySubMode});
        return sent;
    }
};

}  // namespace kovado::test
