// Finding the handset among the HID interfaces and noticing that it has gone.
#include <gtest/gtest.h>

#include "tests/discovery/Rig.h"

namespace kovado {
namespace {

using test::Rig;

struct Interface {
    WORD vendor;
    WORD product;
    bool openable = true;
};

struct FindCase {
    const char* name;
    std::vector<Interface> interfaces;
    WORD pid6611;  // as the parameter settings may remap it
    int found;     // index of the interface returned, -1: none
    int opened;    // interfaces opened by the search
    WORD model;
    BYTE reportLength;
    BOOL keepAlive;
    BOOL ready;
    std::vector<std::wstring> log;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

std::vector<Interface> ForeignThenHandset(int foreign) {
    std::vector<Interface> list(static_cast<std::size_t>(foreign), Interface{0x046D, 0xC077});
    list.push_back(Interface{0x0E5E, 0x6611});
    return list;
}

// A laptop's collections: keyboard and mouse held by the system (they cannot
// be opened), consumer and system controls, touchpad, sensors, vendor pages;
// the handset comes last.
const std::vector<Interface> kLaptop = {
    {0x048D, 0xC101, false}, {0x048D, 0xC101}, {0x048D, 0xC101}, {0x06CB, 0xCE44, false},
    {0x06CB, 0xCE44},        {0x8087, 0x0A1E}, {0x8087, 0x0A1E}, {0x0BDA, 0x5634},
    {0x046D, 0xC52B, false}, {0x046D, 0xC52B}, {0x046D, 0xC52B}, {0x0E5E, 0x6621},
};

const FindCase kFindCases[] = {
    {"ForeignInterfacesThenThirdModel",
     {{0x046D, 0xC077}, {0x045E, 0x0750}, {0x1234, 0x6621}, {0x0E5E, 0x6621}},
     0x6611, 3, 4, 0x6621, 65, 0, 0, {L"PID : 0X6621", L"p6621 file"}},
    {"SecondModel", {{0x0E5E, 0x6612}}, 0x6611, 0, 1, 0x6612, 49, 0, 1,
     {L"PID : 0X6612", L"p6612 file"}},
    {"RemappedProductIdIsSetUpAsTheFirstModel", {{0x0E5E, 0x1234}}, 0x1234, 0, 1, 0x6611, 49, 1,
     1, {L"PID : 0X1234", L"p6611 file"}},
    {"UnknownProductOfTheVendorEndsTheSearch", {{0x0E5E, 0x7777}, {0x0E5E, 0x6611}}, 0x6611,
     -1, 1, 0, 0, 0, 0, {L"PID : 0X7777"}},
    {"InterfaceThatCannotBeOpenedIsPassedOver", {{0x046D, 0xC077, false}, {0x0E5E, 0x6611}},
     0x6611, 1, 1, 0x6611, 49, 1, 1, {L"PID : 0X6611", L"p6611 file"}},
    {"HandsetAtIndexSevenIsFound", ForeignThenHandset(7), 0x6611, 7, 8, 0x6611, 49, 1, 1,
     {L"PID : 0X6611", L"p6611 file"}},
    {"HandsetLastOfTwelveInterfaces", kLaptop, 0x6611, 11, 9, 0x6621, 65, 0, 0,
     {L"PID : 0X6621", L"p6621 file"}},
};

class FindHandset : public testing::TestWithParam<FindCase> {};

TEST_P(FindHandset, ExaminesEveryInterfaceAndKeepsOnlyTheHandset) {
    const FindCase& c = GetParam();
    Rig rig;
    rig.EnableLog();
    CBridgeView& view = rig.view;
    for (const Interface& i : c.interfaces) {
        int device = rig.sim.m_hid.AddDevice(i.vendor, i.product);
        rig.sim.m_hid.At(device).openable = i.openable;
    }
    view.m_nPid6611 = c.pid6611;
    // Leftovers the model set-up must overwrite (or, for the status ticks of
    // the first two models, keep).
    view.m_bKeepAlive = 7;
    view.m_bDeviceReady = 7;
    view.m_bStatusRefresh = 1;
    view.m_bStatusAnswered = 0;
    view.m_nStatusQueryTicks = 5;

    platform::DeviceHandle h = view.m_pWatcher->FindHandset();

    EXPECT_EQ(rig.sim.m_hid.m_nOpens, c.opened);
    EXPECT_EQ(rig.Log(), c.log);
    if (c.found < 0) {
        EXPECT_EQ(h, 0u);
        EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 0);
        EXPECT_EQ(view.m_nProductId, 0);
        EXPECT_EQ(view.m_nReportLength, 0);
        return;
    }
    ASSERT_NE(h, 0u);
    EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 1);  // every other handle was closed
    platform::HidAttributes attributes;
    ASSERT_TRUE(rig.sim.m_hid.GetAttributes(h, attributes));
    EXPECT_EQ(attributes.productId, c.interfaces[static_cast<std::size_t>(c.found)].product);
    EXPECT_EQ(view.m_nProductId, c.model);
    EXPECT_EQ(view.m_nReportLength, c.reportLength);
    EXPECT_EQ(view.m_bKeepAlive, c.keepAlive);
    EXPECT_EQ(view.m_bDeviceReady, c.ready);
    EXPECT_EQ(view.m_bStatusRefresh, 0);
    EXPECT_EQ(view.m_bStatusAnswered, 1);
    EXPECT_EQ(view.m_nStatusQueryTicks, c.model == 0x6621 ? 0 : 5);
    // Discovery only sets the handset up; the caller publishes the handle.
    EXPECT_EQ(view.m_hDevice, 0u);
}

INSTANTIATE_TEST_SUITE_P(Interfaces, FindHandset, testing::ValuesIn(kFindCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FindHandsetFails, WithoutAnInterfaceSet) {
    Rig rig;
    rig.sim.m_hid.AddDevice(0x0E5E, 0x6611);
    rig.sim.m_hid.m_bEnumerationFails = true;
    EXPECT_EQ(rig.view.m_pWatcher->FindHandset(), 0u);
    EXPECT_EQ(rig.sim.m_hid.m_nOpens, 0);
}

TEST(CheckDevice, ClosesOnlyAGoneHandsetAndForgetsItsVariant) {
    Rig rig;
    CBridgeView& view = rig.view;
    int handset = rig.sim.m_hid.AddDevice(0x0E5E, 0x6611);
    platform::DeviceHandle h = view.m_pWatcher->FindHandset();
    view.m_hDevice = h;
    view.m_nChineseVariant = 1;

    view.m_pWatcher->CheckDevice();  // still there
    EXPECT_EQ(view.m_hDevice, h);
    EXPECT_EQ(view.m_nChineseVariant, 1);
    EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 1);

    rig.sim.m_hid.Unplug(handset);
    view.m_pWatcher->CheckDevice();
    EXPECT_EQ(view.m_hDevice, 0u);
    EXPECT_EQ(view.m_nChineseVariant, 0xFF);
    EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 0);

    // With no handset open a variant is forgotten on every check.
    view.m_nChineseVariant = 0;
    view.m_pWatcher->CheckDevice();
    EXPECT_EQ(view.m_nChineseVariant, 0xFF);
}

TEST(CheckDevice, CloseWaitsForTheDeviceLoopsPass) {
    Rig rig;
    CBridgeView& view = rig.view;
    int handset = rig.sim.m_hid.AddDevice(0x0E5E, 0x6621);
    view.m_hDevice = view.m_pWatcher->FindHandset();
    // A device-loop pass: holds the lock while it reads for 300 ms.
    int openAtEndOfPass = -1;
    platform::ThreadId loop = rig.sim.m_windows.Start([&] {
        std::lock_guard<platform::Mutex> lock(view.m_deviceLock);
        rig.sim.m_clock.Sleep(300);
        openAtEndOfPass = rig.sim.m_hid.OpenHandles();
    });
    rig.bridge.RunFor(10);
    rig.sim.m_hid.Unplug(handset);
    view.m_pWatcher->CheckDevice();
    EXPECT_EQ(openAtEndOfPass, 1);
    EXPECT_EQ(rig.sim.m_hid.OpenHandles(), 0);
    EXPECT_EQ(view.m_hDevice, 0u);
    rig.sim.m_windows.Join(loop);
}

}  // namespace
}  // namespace kovado
