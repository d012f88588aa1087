// Simulated HID interfaces: any vendor and product, plugged and unplugged at
// chosen moments, recording every report written to them and handing out the
// input reports a test or a simulated handset queues. It runs over either
// scheduler: virtual time in the simulation, real threads and time on POSIX.
#pragma once
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <vector>

#include "platform/Hid.h"
#include "platform/common/Scheduler.h"

namespace kovado::platform {

class SimHid : public IHid {
public:
    enum class Path { Feature, Interrupt };
    struct Written {
        std::uint64_t atMs;
        Path path;
        std::vector<BYTE> bytes;
    };
    struct Input {
        std::uint64_t atMs;
        std::vector<BYTE> bytes;
    };
    struct Device {
        HidAttributes attributes;
        bool present = true;
        bool openable = true;
        std::vector<Written> written;
        std::deque<Input> input;
        // Called (outside the simulation's lock) after each report written to
        // the device: a simulated handset answers here.
        std::function<void(int device, const Written&)> onWrite;
        // Called (outside the simulation's lock) with each input report as it
        // was queued, once a read has taken it: the moment it is delivered.
        std::function<void(int device, const std::vector<BYTE>& report)> onRead;
        // How long the device takes to take one interrupt report, one after
        // the other; 0: at once. Writes not yet taken stay in flight.
        std::uint32_t takeMs = 0;
        std::list<std::uint64_t> inFlight;  // when each write in flight is taken
        int dropped = 0;  // interrupt writes refused because too many were in flight
    };

    explicit SimHid(Scheduler& scheduler) : m_sched(scheduler) {}

    // Adds an interface at the end of the platform's order; returns its number.
    int AddDevice(WORD vendorId, WORD productId);
    void Unplug(int device);
    void Plug(int device);
    // Queues an input report that becomes readable delayMs from now.
    void QueueInput(int device, std::vector<BYTE> report, std::uint64_t delayMs = 0);
    // Snapshot of the reports written to a device so far.
    std::vector<Written> WrittenTo(int device);
    int OpenHandles();
    Device& At(int device) { return m_devices.at(static_cast<std::size_t>(device)); }

    bool BeginEnumeration() override;
    void EndEnumeration() override;
    DeviceHandle OpenInterface(int index) override;
    bool GetAttributes(DeviceHandle device, HidAttributes& out) override;
    void Close(DeviceHandle device) override;
    bool SetFeature(DeviceHandle device, const BYTE* report, DWORD length) override;
    WriteOutcome Write(DeviceHandle device, const BYTE* report, DWORD length,
                       std::uint32_t timeoutMs) override;
    bool Read(DeviceHandle device, BYTE* buffer, DWORD length, std::uint32_t timeoutMs) override;
    void SignalQueued() override;
    void ClearQueued() override;
    ReadResult ReadUntilQueued(DeviceHandle device, BYTE* buffer, DWORD length,
                               std::uint32_t timeoutMs) override;

    // Called (outside the simulation's lock) for a report a write took but
    // never delivered: the device was unplugged under an open handle, or too
    // many writes were in flight.
    std::function<void(int device, const Written&)> m_onLostWrite;
    // Writes through a handle that is not open (never opened or closed).
    int m_nWritesToClosed = 0;
    bool m_bEnumerationFails = false;
    int m_nEnumerations = 0;
    int m_nOpens = 0;  // interfaces opened successfully, ever

private:
    bool Record(DeviceHandle device, Path path, const BYTE* report, DWORD length);
    // A write to a device that takes its reports slowly: the same rules of
    // writes in flight as the Win32 backend's. The lock is held on entry.
    WriteOutcome WriteSlowly(std::unique_lock<std::mutex>& lock, DeviceHandle handle,
                             const BYTE* report, DWORD length, std::uint32_t timeoutMs);
    int DeviceOf(DeviceHandle handle);  // lock held; -1 when unknown
    ReadResult ReadWait(DeviceHandle handle, BYTE* buffer, DWORD length, std::uint32_t timeoutMs,
                        bool untilQueued);
    // A write that fails: counted when the handle is not open, reported as
    // lost when its device has gone. Unlocks the lock.
    void Lost(std::unique_lock<std::mutex>& lock, int device, Path path, const BYTE* report,
              DWORD length);

    Scheduler& m_sched;
    bool m_bQueued = false;  // the queue signal, under the state lock
    std::vector<Device> m_devices;
    std::vector<int> m_snapshot;
    std::map<DeviceHandle, int> m_handles;
    DeviceHandle m_nextHandle = 0x1000;
};

}  // namespace kovado::platform
