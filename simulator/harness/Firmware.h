// The handset's firmware as far as the simulator needs it: it acknowledges
// the call commands it receives, answers status queries with "ready" (third
// model), and sends an acknowledgement again when the bridge was busy with
// another request. Everything else the handset says comes from the scenario.
#pragma once
#include <vector>

#include "platform/sim/SimHid.h"

namespace kovado::sim {

class HandsetFirmware {
public:
    HandsetFirmware(platform::SimHid& hid, int device, WORD model);

    // Hooks of the device: a report the bridge wrote, and an input report the
    // bridge has taken.
    void OnWritten(const platform::SimHid::Written& written);
    void OnDelivered(const std::vector<BYTE>& report);

    // Acknowledge every CallState, CallEnded and CallerName with event 0x19.
    bool m_bAckAuto = true;
    // Third model: answer each status query with 09 AA 02 0F 2F.
    bool m_bReadyAuto = true;
    // Faults of the coming acknowledgements: so many are lost, the next one
    // comes twice, the next one comes this much later.
    int m_nLoseAcks = 0;
    bool m_bDuplicateAck = false;
    std::uint64_t m_nDelayAckMs = 0;
    // An acknowledgement refused as busy is sent again this much later.
    static constexpr std::uint64_t kAckRetryMs = 50;

    WORD m_nModel;

private:
    void Send(std::vector<BYTE> report, std::uint64_t delayMs = 0);

    platform::SimHid& m_hid;
    int m_nDevice;
    // The last acknowledgement the bridge took: a Busy answer that follows
    // refers to it, since the bridge answers a request before reading the next.
    std::vector<BYTE> m_lastAck;
};

}  // namespace kovado::sim
