// Feature reports, and input and output reports on the interrupt pipe,
// overlapped. Every call finds its device in the table of open handles, so a
// handle closed meanwhile is refused instead of reaching whatever object
// Windows has given its value since.
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Hid.h"
#include "platform/win32/Win32HidDevice.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/common/WriteBacklog.h"

namespace kovado::platform {

bool Win32Hid::SetFeature(DeviceHandle handle, const BYTE* report, DWORD length) {
    std::shared_ptr<Win32HidDevice> device = DeviceOf(handle);
    if (!device || !report || length == 0) return false;
    // Close waits for this lock, so the handle stays open during the transfer.
    std::lock_guard<std::mutex> lock(device->m_writeLock);
    if (device->m_hDevice == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> copy(report, report + length);
    return HidD_SetFeature(device->m_hDevice, copy.data(), length) != 0;
}

WriteOutcome Win32Hid::Write(DeviceHandle handle, const BYTE* report, DWORD length,
                             std::uint32_t timeoutMs) {
    std::shared_ptr<Win32HidDevice> device = DeviceOf(handle);
    if (!device || !report || length == 0) return WriteOutcome::Failed;
    std::lock_guard<std::mutex> lock(device->m_writeLock);
    if (device->m_hDevice == INVALID_HANDLE_VALUE) return WriteOutcome::Failed;
    // Finished writes are forgotten; their results were already given up.
    auto finished = [&](const std::unique_ptr<Win32HidIo>& write) {
        if (!write->Done()) return false;
        ::DWORD ignored = 0;
        GetOverlappedResult(device->m_hDevice, &write->m_overlapped, &ignored, FALSE);
        return true;
    };
    auto waitFor = [](const std::unique_ptr<Win32HidIo>& write, std::uint32_t ms) {
        WaitForSingleObject(write->m_overlapped.hEvent, ms);
    };
    if (!MakeRoomForWrite(device->m_writes, finished, waitFor)) return WriteOutcome::Dropped;

    auto write = std::make_unique<Win32HidIo>();
    if (!write->m_overlapped.hEvent) return WriteOutcome::Failed;
    write->m_abBuffer.assign(report, report + length);
    if (!WriteFile(device->m_hDevice, write->m_abBuffer.data(), length, nullptr,
                   &write->m_overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
        return WriteOutcome::Failed;
    if (WaitForSingleObject(write->m_overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        device->m_writes.push_back(std::move(write));  // still going; its bytes stay alive
        return WriteOutcome::InFlight;
    }
    ::DWORD written = 0;
    bool ok = GetOverlappedResult(device->m_hDevice, &write->m_overlapped, &written, FALSE) &&
              written == length;
    return ok ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool Win32Hid::Read(DeviceHandle handle, BYTE* buffer, DWORD length, std::uint32_t timeoutMs) {
    std::shared_ptr<Win32HidDevice> device = DeviceOf(handle);
    if (!device || !buffer || length == 0) return false;
    std::lock_guard<std::mutex> lock(device->m_readLock);
    if (device->m_hDevice == INVALID_HANDLE_VALUE) return false;
    Win32HidIo& read = device->m_read;
    if (!read.m_overlapped.hEvent) return false;

    // At most one read is outstanding: a read that did not finish in time
    // earlier is the one waited on now.
    if (!device->m_bReadPending) {
        read.Reset();
        read.m_abBuffer.assign(length, 0);
        if (!ReadFile(device->m_hDevice, read.m_abBuffer.data(), length, nullptr,
                      &read.m_overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            // Waited out like a read that brings nothing, so the caller's loop
            // keeps its pace while a handset that has gone is not yet closed.
            ::Sleep(timeoutMs);
            return false;
        }
        device->m_bReadPending = true;
    }
    if (WaitForSingleObject(read.m_overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) return false;
    device->m_bReadPending = false;
    ::DWORD got = 0;
    if (!GetOverlappedResult(device->m_hDevice, &read.m_overlapped, &got, FALSE)) return false;
    got = std::min<::DWORD>({got, length, static_cast<::DWORD>(read.m_abBuffer.size())});
    std::memcpy(buffer, read.m_abBuffer.data(), got);
    std::memset(buffer + got, 0, length - got);
    return true;
}

}  // namespace kovado::platform
