#include "simulator/harness/Firmware.h"

#include <algorithm>

#include "transport/Codes.h"

namespace kovado::sim {

namespace {
// An acknowledgement echoes the command's code and at most this many of its
// data bytes: result, call id and state, or the start of a caller's name.
constexpr std::size_t kEchoedData = 4;
}  // namespace

HandsetFirmware::HandsetFirmware(platform::SimHid& hid, int device, WORD model)
    : m_nModel(model), m_hid(hid), m_nDevice(device) {}

void HandsetFirmware::Send(std::vector<BYTE> report, std::uint64_t delayMs) {
    report.insert(report.begin(), BYTE{0x00});  // report id
    m_hid.QueueInput(m_nDevice, std::move(report), delayMs);
}

void HandsetFirmware::OnWritten(const platform::SimHid::Written& written) {
    const std::vector<BYTE>& r = written.bytes;
    if (r.size() < 4) return;
    BYTE type = r[1], code = r[2], length = r[3];
    if (type == ReportType::kControl && code == Control::StatusQuery) {
        if (m_bReadyAuto && m_nModel == 0x6621)
            Send({ReportType::kStatus, Status::kAA, 0x02, 0x0F, 0x2F});
        return;
    }
    if (type != ReportType::kCommand) return;
    if (code == Evt::CommandAck && length >= 1 && r.size() > 4 && r[4] == Result::Busy) {
        if (!m_lastAck.empty()) Send(m_lastAck, kAckRetryMs);
        return;
    }
    if (!m_bAckAuto || length == 0) return;
    if (code != Cmd::CallState && code != Cmd::CallEnded && code != Cmd::CallerName) return;
    std::size_t echoed = std::min<std::size_t>({length, kEchoedData, r.size() - 4});
    std::vector<BYTE> ack{ReportType::kEvent, Evt::CommandAck, static_cast<BYTE>(1 + echoed), code};
    ack.insert(ack.end(), r.begin() + 4, r.begin() + 4 + static_cast<long>(echoed));
    if (m_nLoseAcks > 0) {
        --m_nLoseAcks;
        return;
    }
    std::uint64_t delay = m_nDelayAckMs;
    m_nDelayAckMs = 0;
    if (m_bDuplicateAck) {
        m_bDuplicateAck = false;
        Send(ack, delay);
    }
    Send(std::move(ack), delay);
}

void HandsetFirmware::OnDelivered(const std::vector<BYTE>& report) {
    if (report.size() >= 3 && report[1] == ReportType::kEvent && report[2] == Evt::CommandAck)
        m_lastAck.assign(report.begin() + 1, report.end());
}

}  // namespace kovado::sim
