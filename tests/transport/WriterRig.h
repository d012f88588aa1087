// A bridge in virtual time with a simulated 0x6621 handset open, ready and
// taking 65-byte feature reports, and debug logging on.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "shell/DebugDlg.h"
#include "simulator/harness/SimBridge.h"
#include "transport/DeviceWriter.h"
#include "transport/Thread.h"

namespace kovado::test {

struct WriterRig {
    WriterRig() : view(*bridge.m_view), writer(*view.m_pWriter) {
        // The writer is driven by hand: no device loop flushes or reads.
        view.m_pDeviceThread->Stop();
        view.m_bDebug = 1;
        view.m_pDebugDlg = new CDebugDlg(bridge.m_sim.m_services);
        view.m_pDebugDlg->Create();
        auto& hid = bridge.m_sim.m_hid;
        handset = hid.AddDevice(0x0E5E, kModel6621);
        hid.BeginEnumeration();
        view.m_hDevice = hid.OpenInterface(0);
        hid.EndEnumeration();
        view.m_nReportLength = 65;
        view.m_bDeviceReady = 1;
    }

    std::vector<platform::SimHid::Written> Written() {
        return bridge.m_sim.m_hid.WrittenTo(handset);
    }
    // Bytes [from, from + count) of each written report.
    std::vector<std::vector<BYTE>> Bytes(std::size_t from, std::size_t count) {
        std::vector<std::vector<BYTE>> out;
        for (const auto& w : Written()) {
            std::size_t end = std::min(w.bytes.size(), from + count);
            out.emplace_back(w.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                             w.bytes.begin() + static_cast<std::ptrdiff_t>(end));
        }
        return out;
    }
    // Log lines, oldest first.
    std::vector<std::wstring> Log() {
        const auto& lines = view.m_pDebugDlg->m_lines;
        return std::vector<std::wstring>(lines.rbegin(), lines.rend());
    }
    std::uint64_t Now() { return bridge.m_sim.Now(); }

    sim::SimBridge bridge;
    CBridgeView& view;
    CDeviceWriter& writer;
    int handset = -1;
};

// A command: code, length byte, data.
inline std::vector<BYTE> Command(BYTE code, std::vector<BYTE> data) {
    std::vector<BYTE> command{code, static_cast<BYTE>(data.size())};
    command.insert(command.end(), data.begin(), data.end());
    return command;
}

}  // namespace kovado::test
