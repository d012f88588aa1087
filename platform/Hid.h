// The handset's HID services: finding interfaces, reading their attributes,
// and the three ways reports move (feature report, interrupt write, input read).
#pragma once
#include <cstdint>

#include "platform/Types.h"

namespace kovado::platform {

// CreateFile's INVALID_HANDLE_VALUE: an interface that exists but cannot be opened.
constexpr DeviceHandle kInvalidDevice = ~DeviceHandle{0};

struct HidAttributes {
    WORD vendorId = 0;
    WORD productId = 0;
    WORD version = 0;
};

// What became of an interrupt write.
enum class WriteOutcome {
    Written,   // the device took the report within the wait
    InFlight,  // not done within the wait: it goes on with its own record
    Failed,    // the device or the handle refused it (closed, gone, an error)
    Dropped,   // the device's writes in flight did not drain in time: not sent
};

class IHid {
public:
    virtual ~IHid() = default;

    // Takes a snapshot of the present HID interfaces; false when none can be had.
    virtual bool BeginEnumeration() = 0;
    virtual void EndEnumeration() = 0;
    // Opens the index-th interface of the snapshot for overlapped reading and
    // writing. 0: no interface at that index (or its path cannot be obtained);
    // kInvalidDevice: it exists but cannot be opened.
    virtual DeviceHandle OpenInterface(int index) = 0;

    // Fails on an invalid handle and on a device that has gone.
    virtual bool GetAttributes(DeviceHandle device, HidAttributes& out) = 0;
    virtual void Close(DeviceHandle device) = 0;

    // A feature report; returns when the control transfer is done. False for
    // a handle that is not open.
    virtual bool SetFeature(DeviceHandle device, const BYTE* report, DWORD length) = 0;
    // An output report on the interrupt pipe, waiting at most timeoutMs for it.
    // A write still pending after the wait keeps its own completion record:
    // the next write never reuses one that is in flight. A device has only a
    // few writes in flight at a time (platform/common/WriteBacklog.h): with
    // that many, the oldest gets a bounded wait before the report is dropped.
    virtual WriteOutcome Write(DeviceHandle device, const BYTE* report, DWORD length,
                               std::uint32_t timeoutMs) = 0;
    // Waits at most timeoutMs for one input report of length bytes. At most one
    // read is outstanding per device: a read that has not completed in time
    // stays pending and is the one waited on by the next call.
    virtual bool Read(DeviceHandle device, BYTE* buffer, DWORD length,
                      std::uint32_t timeoutMs) = 0;
};

}  // namespace kovado::platform
