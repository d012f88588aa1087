// How fast notifications are decoded and routed, and commands encoded: the
// user-interface thread does this for every Skype message.
#include <benchmark/benchmark.h>

#include "platform/Text.h"
#include "simulator/harness/SimBridge.h"

namespace kovado {
namespace {

void BM_Utf8RoundTrip(benchmark::State& state) {
    const std::wstring text = L"CALL 1234 PARTNER_DISPNAME \u0418\u0432\u0430\u043d \u738b\u5c0f\u660e";
    for (auto _ : state) {
        std::string utf8 = ToUtf8(text);
        benchmark::DoNotOptimize(FromUtf8(utf8));
    }
}
BENCHMARK(BM_Utf8RoundTrip);

void BM_RouteNotification(benchmark::State& state) {
    sim::SimBridge bridge(false);
    CBridgeView& view = *bridge.m_view;
    const std::string text = "USERSTATUS ONLINE";
    platform::CopyData data;
    data.cbData = static_cast<std::uint32_t>(text.size() + 1);
    data.lpData = text.c_str();
    constexpr platform::WindowHandle kSkypeWindow = 0x5000;
    view.m_hSkypeWnd = kSkypeWindow;
    for (auto _ : state) view.OnCopyData(kSkypeWindow, &data);
}
BENCHMARK(BM_RouteNotification);

// Virtual time per real time: one simulated minute of an idle bridge.
void BM_SimulatedMinute(benchmark::State& state) {
    for (auto _ : state) {
        sim::SimBridge bridge;
        bridge.CreateWindows();
        bridge.Discover();
        bridge.RunFor(60 * 1000);
    }
}
BENCHMARK(BM_SimulatedMinute)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovado
