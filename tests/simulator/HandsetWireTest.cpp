// The simulated handset and the trace at the wire: what the firmware answers
// to the reports it receives, how written and delivered reports are shown,
// and a picture put back together from the chunks the writer sends.
#include <gtest/gtest.h>

#include <sstream>

#include "display/DisplayRenderer.h"
#include "simulator/harness/Firmware.h"
#include "simulator/harness/PictureCollector.h"
#include "simulator/harness/SimBridge.h"
#include "simulator/harness/Trace.h"
#include "transport/DeviceWriter.h"

namespace kovado::sim {
namespace {

using Bytes = std::vector<BYTE>;

Bytes FromHex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (std::string byte; in >> byte;)
        bytes.push_back(static_cast<BYTE>(std::stoul(byte, nullptr, 16)));
    return bytes;
}

// A report as the bridge writes it: report id, the bytes, padding to 49.
Bytes Report(const std::string& hex) {
    Bytes report{0x00};
    for (BYTE b : FromHex(hex)) report.push_back(b);
    report.resize(49, 0x00);
    return report;
}

struct Handset {
    explicit Handset(WORD model) {
        device = sim.m_hid.AddDevice(0x0E5E, model);
        firmware = std::make_unique<HandsetFirmware>(sim.m_hid, device, model);
        sim.m_hid.At(device).onWrite = [this](int, const platform::SimHid::Written& w) {
            firmware->OnWritten(w);
        };
        sim.m_hid.At(device).onRead = [this](int, const Bytes& r) { firmware->OnDelivered(r); };
        sim.m_hid.BeginEnumeration();
        handle = sim.m_hid.OpenInterface(0);
    }
    void Write(const std::string& hex) {
        Bytes r = Report(hex);
        sim.m_hid.SetFeature(handle, r.data(), static_cast<DWORD>(r.size()));
    }
    // What the handset has queued for the bridge, from the report type on.
    std::vector<std::string> Sent() {
        std::vector<std::string> sent;
        for (const auto& input : sim.m_hid.At(device).input)
            sent.push_back(Hex(Bytes(input.bytes.begin() + 1, input.bytes.end())) + " @" +
                           std::to_string(input.atMs));
        return sent;
    }

    platform::SimPlatform sim;
    int device = 0;
    std::unique_ptr<HandsetFirmware> firmware;
    platform::DeviceHandle handle = 0;
};

TEST(HandsetFirmware, AcknowledgesCallCommandsAndAnswersStatusQueries) {
    const struct {
        WORD model;
        bool ackAuto, readyAuto;
        const char* written;
        const char* answer;  // empty: none
    } cases[] = {
        // The echo: the code and the data without the length byte, keyed by
        // the call id in data bytes 2-3, or code and result alone.
        {0x6612, true, true, "02 11 04 00 04 D2 04", "01 19 05 11 00 04 D2 04 @0"},
        {0x6612, true, true, "02 14 04 00 04 D2 07", "01 19 05 14 00 04 D2 07 @0"},
        {0x6612, true, true, "02 11 01 0B", "01 19 02 11 0B @0"},
        {0x6612, true, true, "02 14 03 A4 00 C8", "01 19 04 14 A4 00 C8 @0"},
        {0x6612, true, true, "02 15 06 00 00 7B 62 6F 62", "01 19 05 15 00 00 7B 62 @0"},
        {0x6612, true, true, "02 16 02 00 00", ""},
        {0x6612, true, true, "02 12 01 00", ""},
        {0x6612, false, true, "02 11 04 00 04 D2 04", ""},
        {0x6621, true, true, "08 0F 00", "09 AA 02 0F 2F @0"},
        {0x6621, true, false, "08 0F 00", ""},
        {0x6612, true, true, "08 0F 00", ""},
    };
    for (const auto& c : cases) {
        Handset handset(c.model);
        handset.firmware->m_bAckAuto = c.ackAuto;
        handset.firmware->m_bReadyAuto = c.readyAuto;
        handset.Write(c.written);
        std::vector<std::string> expected;
        if (*c.answer) expected.push_back(c.answer);
        EXPECT_EQ(handset.Sent(), expected) << c.written;
    }
}

TEST(HandsetFirmware, SendsAnAcknowledgementAgainWhenTheBridgeWasBusy) {
    Handset handset(0x6612);
    handset.Write("02 11 04 00 04 D2 04");
    BYTE buffer[49];
    ASSERT_TRUE(handset.sim.m_hid.Read(handset.handle, buffer, 49, 0));  // the bridge takes it
    handset.Write("02 19 01 B1");                                        // ... and was busy
    EXPECT_EQ(handset.Sent(), std::vector<std::string>{"01 19 05 11 00 04 D2 04 @50"});
    handset.Write("02 05 01 B1");  // Busy for another request: the handset does not resend
    EXPECT_EQ(handset.Sent().size(), 1u);
}

TEST(Trace, ShowsReportsFromTheTypeThroughTheLastMeaningfulByte) {
    platform::SimPlatform sim;
    std::vector<std::string> lines;
    Tracer tracer(sim, [&lines](const TraceEvent& e) { lines.push_back(CanonicalLine(e)); });
    using Path = platform::SimHid::Path;
    tracer.OnWritten({0, Path::Feature, Report("00 00 00 00 16 02")});  // a blank keeps old bytes
    tracer.OnWritten({0, Path::Feature, Report("02 16 02 00 0A")});
    tracer.OnWritten({0, Path::Interrupt, Report("08 0F 00")});
    tracer.OnWritten({0, Path::Feature, Report("04 00 03 61 62 63")});
    tracer.OnWritten({0, Path::Feature, Bytes{0x00, 0x02, 0x27, 0xFF, 0x00, 0x01}});
    tracer.OnDelivered(Bytes{0x00, 0x01, 0x13, 0x00});
    EXPECT_EQ(lines, (std::vector<std::string>{"0 hid< 00 00 00", "0 hid< 02 16 02 00 0A",
                                               "0 hid< 08 0F 00 (out)", "0 hid< 04 00 03 61 62 63",
                                               "0 hid< 02 27 FF 00 01", "0 hid> 01 13 00"}));
}

// The renderer's pictures cross the wire in eight chunks and arrive whole.
TEST(PictureCollector, PutsThePicturesTheWriterSendsBackTogether) {
    SimBridge bridge(false);
    CBridgeView& view = *bridge.m_view;
    int device = bridge.m_sim.m_hid.AddDevice(0x0E5E, 0x6612);
    PictureCollector collector;
    int pictures = 0;
    bridge.m_sim.m_hid.At(device).onWrite = [&](int, const platform::SimHid::Written& w) {
        pictures += collector.Feed(WrittenBytes(w.bytes));
    };
    bridge.m_sim.m_hid.BeginEnumeration();
    view.m_hDevice = bridge.m_sim.m_hid.OpenInterface(0);
    view.m_nReportLength = 49;
    view.m_bDeviceReady = 1;

    CDisplayRenderer& renderer = *view.m_pRenderer;
    auto fetch = [&] {
        for (BYTE chunk = CDisplayRenderer::kChunks; chunk-- > 0;) renderer.SendPictureChunk(chunk);
        view.m_pWriter->FlushQueues();
    };
    renderer.SendNamePicture(L"Иван Петров");
    fetch();
    EXPECT_EQ(pictures, 1);
    EXPECT_FALSE(collector.m_bHistory);
    EXPECT_EQ(collector.m_picture, renderer.m_abPicture);

    renderer.m_strName = L"王小明";
    renderer.SendHistoryPicture(1);
    fetch();
    EXPECT_EQ(pictures, 2);
    EXPECT_TRUE(collector.m_bHistory);
    EXPECT_EQ(collector.m_picture, renderer.m_abPicture);
    view.m_hDevice = 0;
}

}  // namespace
}  // namespace kovado::sim
