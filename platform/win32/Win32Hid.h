// HID interfaces through the HID and device set-up services: the snapshot of
// present interfaces, overlapped handles, feature reports and interrupt-pipe
// reads and writes.
#pragma once
#include <map>
#include <memory>
#include <mutex>

#include "platform/Hid.h"

namespace kovado::platform {

struct Win32HidDevice;

class Win32Hid : public IHid {
public:
    Win32Hid();
    // Releases the snapshot and closes every handle still open.
    ~Win32Hid() override;

    bool BeginEnumeration() override;
    void EndEnumeration() override;
    DeviceHandle OpenInterface(int index) override;
    bool GetAttributes(DeviceHandle device, HidAttributes& out) override;
    // Cancels the device's outstanding read and writes and waits until they
    // have let go of their buffers before the handle is closed.
    void Close(DeviceHandle device) override;
    // Only to a handle of the device table that is still open: a closed
    // handle's value may already belong to another object.
    bool SetFeature(DeviceHandle device, const BYTE* report, DWORD length) override;
    // The report is copied, so the caller may reuse its buffer at once. A write
    // not done within timeoutMs goes on in the background (InFlight); while
    // kMaxWritesInFlight are still going, the oldest is waited for, within a
    // bound, before the report is dropped (platform/common/WriteBacklog.h).
    WriteOutcome Write(DeviceHandle device, const BYTE* report, DWORD length,
                       std::uint32_t timeoutMs) override;
    // Reads into a buffer of the device's own, so a read left pending never
    // writes into the caller's memory later.
    bool Read(DeviceHandle device, BYTE* buffer, DWORD length, std::uint32_t timeoutMs) override;

private:
    std::shared_ptr<Win32HidDevice> DeviceOf(DeviceHandle device);

    std::mutex m_lock;  // the snapshot and the table of open devices
    void* m_set;        // HDEVINFO of the snapshot, INVALID_HANDLE_VALUE when none
    std::map<DeviceHandle, std::shared_ptr<Win32HidDevice>> m_devices;
};

}  // namespace kovado::platform
