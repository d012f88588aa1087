// The view's destruction: both loops stopped first, then the handset's handle
// closed, whatever the loops were doing.
#include <gtest/gtest.h>

#include "simulator/harness/SimBridge.h"

namespace kovado {
namespace {

TEST(Lifetime, DestructionStopsTheLoopsAndClosesTheHandset) {
    sim::SimBridge bridge;
    bridge.CreateWindows();
    bridge.Discover();
    auto& hid = bridge.m_sim.m_hid;
    hid.AddDevice(0x0E5E, kModel6612);
    hid.BeginEnumeration();
    bridge.m_view->m_hDevice = hid.OpenInterface(0);
    hid.EndEnumeration();
    bridge.m_view->m_nReportLength = 49;
    bridge.m_view->m_bDeviceReady = 1;
    bridge.RunFor(1234);  // the device loop is somewhere inside a pass
    ASSERT_EQ(hid.OpenHandles(), 1);
    bridge.m_view.reset();
    EXPECT_EQ(hid.OpenHandles(), 0);
}

}  // namespace
}  // namespace kovado
