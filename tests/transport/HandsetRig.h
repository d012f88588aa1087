// The whole bridge in virtual time, attached to the simulated Skype client,
// with a simulated 0x6621 handset open, ready and answered, and the real
// device loop reading it: a test queues input reports and reads what was
// written to the handset, what waits in the queues and what Skype received.
#pragma once
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "shell/DebugDlg.h"
#include "tests/bridge/HandlerRig.h"
#include "transport/Codes.h"

namespace kovado::test {

// An input report: report id 0, then type and the given bytes.
inline Bytes Report(BYTE type, const Bytes& rest) {
    Bytes report{0x00, type};
    report.insert(report.end(), rest.begin(), rest.end());
    return report;
}

// An event report from "code data..." in hex; the length byte is added.
inline Bytes EventReport(const std::string& codeAndData) {
    Bytes bytes = FromHex(codeAndData);
    Bytes rest{bytes.at(0), static_cast<BYTE>(bytes.size() - 1)};
    rest.insert(rest.end(), bytes.begin() + 1, bytes.end());
    return Report(ReportType::kEvent, rest);
}

struct HandsetRig : HandlerRig {
    // What the simulated Skype client answers, by command.
    std::map<std::string, std::vector<std::string>> replies{
        {"GET CURRENTUSERHANDLE", {"CURRENTUSERHANDLE me"}}};
    int handset = -1;
    std::size_t written = 0;

    HandsetRig() {
        bridge.m_skype.m_rules = [this](const std::string& command) {
            auto it = replies.find(command);
            return it == replies.end() ? std::vector<std::string>{} : it->second;
        };
        auto& hid = bridge.m_sim.m_hid;
        handset = hid.AddDevice(0x0E5E, kModel6621);
        hid.BeginEnumeration();
        view.m_hDevice = hid.OpenInterface(0);
        hid.EndEnumeration();
        view.m_nProductId = kModel6621;
        view.m_nReportLength = 65;
        view.m_bStatusAnswered = 1;
        view.m_bDeviceReady = 1;
        // The device loop wakes from its idle step and learns the user handle.
        bridge.RunFor(1500);
        TakeSent();
        TakeWritten();
    }

    void EnableLog() {
        view.m_bDebug = 1;
        view.m_pDebugDlg = new CDebugDlg(bridge.m_sim.m_services);
        view.m_pDebugDlg->m_pOwner = &view;
        view.m_pDebugDlg->Create();
    }
    // Log lines, oldest first.
    std::vector<std::wstring> Log() const {
        const auto& lines = view.m_pDebugDlg->m_lines;
        return {lines.rbegin(), lines.rend()};
    }

    // Queues an input report and lets the device loop handle it.
    void Input(const Bytes& report, std::uint64_t runMs = 100) {
        bridge.m_sim.m_hid.QueueInput(handset, report);
        bridge.RunFor(runMs);
    }
    void Event(const std::string& codeAndData, std::uint64_t runMs = 100) {
        Input(EventReport(codeAndData), runMs);
    }

    // The reports written to the handset since the last call, whole.
    std::vector<platform::SimHid::Written> TakeReports() {
        auto all = bridge.m_sim.m_hid.WrittenTo(handset);
        std::vector<platform::SimHid::Written> fresh(
            all.begin() + static_cast<std::ptrdiff_t>(written), all.end());
        written = all.size();
        return fresh;
    }
    // The command reports among them, as commands (code, length, data).
    std::vector<Bytes> TakeWritten() {
        std::vector<Bytes> commands;
        for (const auto& report : TakeReports()) {
            const Bytes& b = report.bytes;
            if (b[1] != ReportType::kCommand) continue;
            std::size_t end = std::min<std::size_t>(4u + b[3], b.size());
            commands.emplace_back(b.begin() + 2, b.begin() + static_cast<std::ptrdiff_t>(end));
        }
        return commands;
    }
};

}  // namespace kovado::test
