#include "platform/sim/SimHid.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/common/WriteBacklog.h"

namespace kovado::platform {

int SimHid::AddDevice(WORD vendorId, WORD productId) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    Device device;
    device.attributes = HidAttributes{vendorId, productId, 0x0100};
    m_devices.push_back(std::move(device));
    return static_cast<int>(m_devices.size()) - 1;
}

void SimHid::Unplug(int device) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    At(device).present = false;
    At(device).input.clear();
    m_sched.Wake();
}

void SimHid::Plug(int device) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    At(device).present = true;
    m_sched.Wake();
}

void SimHid::QueueInput(int device, std::vector<BYTE> report, std::uint64_t delayMs) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    auto& input = At(device).input;
    Input item{m_sched.NowMs() + delayMs, std::move(report)};
    auto at = std::upper_bound(input.begin(), input.end(), item.atMs,
                               [](std::uint64_t t, const Input& i) { return t < i.atMs; });
    input.insert(at, std::move(item));
    m_sched.Wake();
}

std::vector<SimHid::Written> SimHid::WrittenTo(int device) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return At(device).written;
}

int SimHid::OpenHandles() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    return static_cast<int>(m_handles.size());
}

int SimHid::DeviceOf(DeviceHandle handle) {
    auto it = m_handles.find(handle);
    return it == m_handles.end() ? -1 : it->second;
}

bool SimHid::BeginEnumeration() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    ++m_nEnumerations;
    if (m_bEnumerationFails) return false;
    m_snapshot.clear();
    for (std::size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i].present) m_snapshot.push_back(static_cast<int>(i));
    return true;
}

void SimHid::EndEnumeration() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_snapshot.clear();
}

DeviceHandle SimHid::OpenInterface(int index) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    if (index < 0 || static_cast<std::size_t>(index) >= m_snapshot.size()) return 0;
    int device = m_snapshot[static_cast<std::size_t>(index)];
    if (!At(device).openable || !At(device).present) return kInvalidDevice;
    DeviceHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = device;
    ++m_nOpens;
    return handle;
}

bool SimHid::GetAttributes(DeviceHandle handle, HidAttributes& out) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    int device = DeviceOf(handle);
    if (device < 0 || !At(device).present) return false;
    out = At(device).attributes;
    return true;
}

void SimHid::Close(DeviceHandle handle) {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_handles.erase(handle);
    m_sched.Wake();
}

void SimHid::Lost(std::unique_lock<std::mutex>& lock, int device, Path path, const BYTE* report,
                  DWORD length) {
    if (device < 0) ++m_nWritesToClosed;
    auto lost = m_onLostWrite;
    Written written{m_sched.NowMs(), path,
                    report ? std::vector<BYTE>(report, report + length) : std::vector<BYTE>()};
    lock.unlock();
    if (device >= 0 && report && lost) lost(device, written);
}

bool SimHid::Record(DeviceHandle handle, Path path, const BYTE* report, DWORD length) {
    Written written;
    std::function<void(int, const Written&)> hook;
    int device;
    {
        std::unique_lock<std::mutex> lock(m_sched.StateLock());
        device = DeviceOf(handle);
        if (device < 0 || !At(device).present || !report) {
            Lost(lock, device, path, report, length);
            return false;
        }
        written = Written{m_sched.NowMs(), path, std::vector<BYTE>(report, report + length)};
        At(device).written.push_back(written);
        hook = At(device).onWrite;
    }
    if (hook) hook(device, written);
    return true;
}

bool SimHid::SetFeature(DeviceHandle device, const BYTE* report, DWORD length) {
    return Record(device, Path::Feature, report, length);
}

WriteOutcome SimHid::Write(DeviceHandle device, const BYTE* report, DWORD length,
                           std::uint32_t timeoutMs) {
    {
        std::unique_lock<std::mutex> lock(m_sched.StateLock());
        int index = DeviceOf(device);
        if (index >= 0 && At(index).takeMs > 0)
            return WriteSlowly(lock, device, report, length, timeoutMs);
    }
    return Record(device, Path::Interrupt, report, length) ? WriteOutcome::Written
                                                           : WriteOutcome::Failed;
}

WriteOutcome SimHid::WriteSlowly(std::unique_lock<std::mutex>& lock, DeviceHandle handle,
                                 const BYTE* report, DWORD length, std::uint32_t timeoutMs) {
    auto waitUntil = [&](std::uint64_t at) {
        m_sched.Wait(lock, [] { return false; }, at);
    };
    auto finished = [&](std::uint64_t doneAt) { return doneAt <= m_sched.NowMs(); };
    auto waitFor = [&](std::uint64_t doneAt, std::uint32_t ms) {
        waitUntil(std::min(doneAt, m_sched.NowMs() + ms));
    };
    int device = DeviceOf(handle);
    if (device < 0 || !At(device).present || !report) {
        Lost(lock, device, Path::Interrupt, report, length);
        return WriteOutcome::Failed;
    }
    if (!MakeRoomForWrite(At(device).inFlight, finished, waitFor)) {
        ++At(device).dropped;
        Lost(lock, device, Path::Interrupt, report, length);
        return WriteOutcome::Dropped;
    }
    // Closed or unplugged during the wait.
    device = DeviceOf(handle);
    if (device < 0 || !At(device).present) {
        Lost(lock, device, Path::Interrupt, report, length);
        return WriteOutcome::Failed;
    }

    Device& d = At(device);
    std::uint64_t now = m_sched.NowMs();
    std::uint64_t start = d.inFlight.empty() ? now : std::max(now, d.inFlight.back());
    std::uint64_t doneAt = start + d.takeMs;
    d.inFlight.push_back(doneAt);
    Written written{now, Path::Interrupt, std::vector<BYTE>(report, report + length)};
    d.written.push_back(written);
    auto hook = d.onWrite;
    bool inTime = doneAt <= now + timeoutMs;
    waitUntil(inTime ? doneAt : now + timeoutMs);
    lock.unlock();
    if (hook) hook(device, written);
    return inTime ? WriteOutcome::Written : WriteOutcome::InFlight;
}

bool SimHid::Read(DeviceHandle handle, BYTE* buffer, DWORD length, std::uint32_t timeoutMs) {
    return ReadWait(handle, buffer, length, timeoutMs, false) == ReadResult::Report;
}

IHid::ReadResult SimHid::ReadUntilQueued(DeviceHandle handle, BYTE* buffer, DWORD length,
                                         std::uint32_t timeoutMs) {
    return ReadWait(handle, buffer, length, timeoutMs, true);
}

void SimHid::SignalQueued() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_bQueued = true;
    m_sched.Wake();
}

void SimHid::ClearQueued() {
    std::lock_guard<std::mutex> lock(m_sched.StateLock());
    m_bQueued = false;
}

IHid::ReadResult SimHid::ReadWait(DeviceHandle handle, BYTE* buffer, DWORD length,
                                  std::uint32_t timeoutMs, bool untilQueued) {
    std::unique_lock<std::mutex> lock(m_sched.StateLock());
    std::uint64_t until = m_sched.NowMs() + timeoutMs;
    for (;;) {
        int device = DeviceOf(handle);
        if (device < 0 || !At(device).present) return ReadResult::Nothing;
        auto& input = At(device).input;
        std::uint64_t now = m_sched.NowMs();
        if (!input.empty() && input.front().atMs <= now) {
            std::vector<BYTE> report = std::move(input.front().bytes);
            input.pop_front();
            std::fill(buffer, buffer + length, BYTE{0});
            std::copy_n(report.begin(), std::min<std::size_t>(report.size(), length), buffer);
            auto hook = At(device).onRead;
            lock.unlock();
            if (hook) hook(device, report);
            return ReadResult::Report;
        }
        if (untilQueued && m_bQueued) {
            m_bQueued = false;  // taken, as an auto-reset event is
            return ReadResult::Queued;
        }
        if (now >= until) return ReadResult::Nothing;
        std::uint64_t deadline = until;
        if (!input.empty()) deadline = std::min(deadline, input.front().atMs);
        std::size_t queued = input.size();
        m_sched.Wait(
            lock,
            [&] {
                int d = DeviceOf(handle);
                return d < 0 || !At(d).present || At(d).input.size() != queued ||
                       (untilQueued && m_bQueued);
            },
            deadline);
    }
}

}  // namespace kovado::platform
