// One handset for fuzz targets: every read hands out the report the target
// gave, and every write is checked: it goes to the open handle, and all of the
// report's bytes are readable (the sanitizers see a short buffer).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

#include "platform/Hid.h"

namespace kovado::fuzz {

class FuzzHid : public platform::IHid {
public:
    static constexpr platform::DeviceHandle kHandset = 0x4B00;

    // Discovery finds nothing: the target opens the handset itself.
    bool BeginEnumeration() override { return false; }
    void EndEnumeration() override {}
    platform::DeviceHandle OpenInterface(int) override { return 0; }
    bool GetAttributes(platform::DeviceHandle device, platform::HidAttributes& out) override {
        out = {0x0E5E, m_nProduct, 0};
        return device == kHandset && m_bOpen;
    }
    void Close(platform::DeviceHandle device) override {
        if (device == kHandset) m_bOpen = false;
    }
    bool SetFeature(platform::DeviceHandle device, const BYTE* report, DWORD length) override {
        return Written(device, report, length);
    }
    platform::WriteOutcome Write(platform::DeviceHandle device, const BYTE* report, DWORD length,
                                 std::uint32_t) override {
        return Written(device, report, length) ? platform::WriteOutcome::Written
                                               : platform::WriteOutcome::Failed;
    }
    // The report as a HID read gives it: report id, the bytes, zeros to the
    // report length; longer input is cut there.
    bool Read(platform::DeviceHandle device, BYTE* buffer, DWORD length, std::uint32_t) override {
        if (device != kHandset || !m_bOpen || m_input.empty()) return false;
        const std::vector<BYTE>& report = m_input.front();
        for (DWORD i = 0; i < length; ++i) buffer[i] = i < report.size() ? report[i] : 0;
        m_input.pop_front();
        return true;
    }

    void Plug(WORD product) {
        m_nProduct = product;
        m_bOpen = true;
        m_input.clear();
    }
    std::deque<std::vector<BYTE>> m_input;
    WORD m_nProduct = 0;
    bool m_bOpen = false;
    unsigned m_nChecksum = 0;  // keeps every byte of every write read

private:
    bool Written(platform::DeviceHandle device, const BYTE* report, DWORD length) {
        if (device != kHandset || !m_bOpen) {
            std::fprintf(stderr, "report written to a handset that is not open\n");
            std::abort();
        }
        if (length > 65) {
            std::fprintf(stderr, "report of %u bytes: longer than the wire allows\n", length);
            std::abort();
        }
        for (DWORD i = 0; i < length; ++i) m_nChecksum += report[i];
        return true;
    }
};

}  // namespace kovado::fuzz
