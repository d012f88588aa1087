// The writer under real threads: three threads push while one flushes; every
// report arrives once, whole and in its thread's order.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "bridge/BridgeView.h"
#include "platform/Hid.h"
#include "platform/posix/PosixPlatform.h"
#include "transport/DeviceWriter.h"

namespace kovado {
namespace {

constexpr platform::DeviceHandle kHandle = 0x4242;
constexpr int kPushers = 3;
constexpr int kPerPusher = 20000;
// Reports a pusher may have in flight: three pushers never fill a queue of 49.
constexpr int kInFlight = 16;
// Pushers 0 and 1 use the main queue, pusher 2 the Talvery queue.
constexpr BYTE kCodes[kPushers] = {0x11, 0x16, 0x05};

// The data of a pusher's seq-th report: seq (2 bytes), pusher, then filler.
std::vector<BYTE> DataOf(int pusher, int seq) {
    std::size_t length = 3 + static_cast<std::size_t>(seq % (pusher == 2 ? 43 : 59));
    std::vector<BYTE> data(length);
    data[0] = static_cast<BYTE>(seq >> 8);
    data[1] = static_cast<BYTE>(seq);
    data[2] = static_cast<BYTE>(pusher);
    for (std::size_t i = 3; i < length; ++i) data[i] = static_cast<BYTE>(seq * 7 + pusher * 31 + i);
    return data;
}

// Records every report and notices two writes in progress at once.
class RecordingHid : public platform::IHid {
public:
    bool BeginEnumeration() override { return false; }
    void EndEnumeration() override {}
    platform::DeviceHandle OpenInterface(int) override { return 0; }
    bool GetAttributes(platform::DeviceHandle device, platform::HidAttributes& out) override {
        out = {0x0E5E, kModel6621, 0x0100};
        return device == kHandle;
    }
    void Close(platform::DeviceHandle) override {}
    bool SetFeature(platform::DeviceHandle device, const BYTE* report, DWORD length) override {
        return Record(device, report, length, 0);
    }
    platform::WriteOutcome Write(platform::DeviceHandle device, const BYTE* report, DWORD length,
                                 std::uint32_t timeoutMs) override {
        return Record(device, report, length, timeoutMs) ? platform::WriteOutcome::Written
                                                         : platform::WriteOutcome::Failed;
    }
    bool Read(platform::DeviceHandle, BYTE*, DWORD, std::uint32_t) override { return false; }

    std::mutex m_lock;
    std::vector<std::vector<BYTE>> m_reports;
    std::atomic<int> m_nWriting{0};
    std::atomic<bool> m_bOverlap{false};
    std::atomic<std::uint32_t> m_nLongestWait{0};
    std::array<std::atomic<int>, kPushers> m_written{};

private:
    bool Record(platform::DeviceHandle device, const BYTE* report, DWORD length,
                std::uint32_t timeoutMs) {
        if (m_nWriting.fetch_add(1) != 0) m_bOverlap = true;
        std::vector<BYTE> bytes(report, report + length);
        std::this_thread::yield();  // widen the window for an overlapping write
        if (timeoutMs > m_nLongestWait) m_nLongestWait = timeoutMs;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_reports.push_back(bytes);
        }
        for (int p = 0; p < kPushers; ++p)
            if (length > 2 && bytes[2] == kCodes[p]) ++m_written[static_cast<std::size_t>(p)];
        m_nWriting.fetch_sub(1);
        return device == kHandle;
    }
};

TEST(WriterThreads, ThreePushersOneFlusherLoseDuplicateAndTearNothing) {
    platform::PosixPlatform posix;
    RecordingHid hid;
    posix.m_services.hid = &hid;
    CBridgeView view(posix.m_services);
    view.m_bCtrlPipe = 0;  // interrupt writes, each with its bounded wait
    view.m_nReportLength = 65;
    view.m_hDevice = kHandle;
    view.m_bDeviceReady = 1;
    CDeviceWriter& writer = *view.m_pWriter;

    // A lost report would stall its pusher; the deadline turns that into a failure.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto late = [&] { return std::chrono::steady_clock::now() > deadline; };
    std::atomic<int> done{0};
    std::vector<std::thread> threads;
    for (int p = 0; p < kPushers; ++p) {
        threads.emplace_back([&, p] {
            for (int seq = 0; seq < kPerPusher; ++seq) {
                while (seq - hid.m_written[static_cast<std::size_t>(p)] >= kInFlight && !late())
                    std::this_thread::yield();
                std::vector<BYTE> data = DataOf(p, seq);
                std::vector<BYTE> command{kCodes[p], static_cast<BYTE>(data.size())};
                command.insert(command.end(), data.begin(), data.end());
                if (p == 2)
                    writer.PushTalvery(command.data());
                else
                    writer.PushMain(command.data(), 0);
            }
            ++done;
        });
    }
    std::thread flusher([&] {
        for (;;) {
            bool finished = done == kPushers;
            writer.FlushQueues();
            int total = 0;
            for (auto& n : hid.m_written) total += n;
            if (finished && total == kPushers * kPerPusher) break;
            if (late()) break;
            std::this_thread::yield();
        }
    });
    for (auto& t : threads) t.join();
    flusher.join();

    EXPECT_FALSE(hid.m_bOverlap);
    EXPECT_EQ(hid.m_nLongestWait, 10u) << "interrupt writes wait at most 10 ms";
    std::array<int, kPushers> next{};
    int checked = 0;
    for (const auto& report : hid.m_reports) {
        ASSERT_EQ(report.size(), 65u);
        if (report[1] == 0x00) continue;  // a keep-alive, should one be queued
        ASSERT_EQ(report[0], 0x00);
        ASSERT_EQ(report[1], 0x02);
        int pusher = report[6];
        ASSERT_LT(pusher, kPushers);
        ASSERT_EQ(report[2], kCodes[pusher]);
        int seq = report[4] << 8 | report[5];
        ASSERT_EQ(seq, next[static_cast<std::size_t>(pusher)]) << "lost, duplicated or reordered";
        ++next[static_cast<std::size_t>(pusher)];
        std::vector<BYTE> data = DataOf(pusher, seq);
        ASSERT_EQ(report[3], data.size());
        ASSERT_TRUE(std::equal(data.begin(), data.end(), report.begin() + 4)) << "torn report";
        ++checked;
    }
    EXPECT_EQ(checked, kPushers * kPerPusher);
    EXPECT_EQ(next, (std::array<int, kPushers>{kPerPusher, kPerPusher, kPerPusher}));
}

}  // namespace
}  // namespace kovado
