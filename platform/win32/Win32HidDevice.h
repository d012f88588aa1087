// What the HID backend keeps per open interface: the handle and the
// overlapped operations still in progress on it.
#pragma once
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Types.h"
#include "platform/win32/Win32Api.h"

namespace kovado::platform {

// One overlapped operation with its own manual-reset event and buffer; both
// live until the operation is over.
struct Win32HidIo {
    Win32HidIo() { m_overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Win32HidIo() {
        if (m_overlapped.hEvent) CloseHandle(m_overlapped.hEvent);
    }
    Win32HidIo(const Win32HidIo&) = delete;
    Win32HidIo& operator=(const Win32HidIo&) = delete;

    // Clears the record (offsets 0) for a new operation, keeping the event.
    void Reset() {
        HANDLE event = m_overlapped.hEvent;
        m_overlapped = OVERLAPPED{};
        m_overlapped.hEvent = event;
    }
    bool Done() const { return HasOverlappedIoCompleted(&m_overlapped); }

    OVERLAPPED m_overlapped{};
    std::vector<BYTE> m_abBuffer;
};

struct Win32HidDevice {
    explicit Win32HidDevice(HANDLE handle) : m_hDevice(handle) {}

    HANDLE m_hDevice;  // INVALID_HANDLE_VALUE once closed
    std::mutex m_readLock;
    Win32HidIo m_read;
    bool m_bReadPending = false;
    std::mutex m_writeLock;  // interrupt writes and feature reports
    std::list<std::unique_ptr<Win32HidIo>> m_writes;  // started, not yet finished
};

}  // namespace kovado::platform
