#include "fuzz/support/FuzzBridge.h"

#include <stdlib.h>

#include <deque>
#include <new>
#include <filesystem>
#include <string>
#include <vector>

#include "bridge/CallHandler.h"
#include "bridge/SearchHandler.h"
#include "display/DisplayRenderer.h"
#include "shell/DebugDlg.h"
#include "simulator/harness/DefaultSettings.h"
#include "transport/DeviceReader.h"
#include "transport/DeviceWriter.h"
#include "transport/Thread.h"

namespace kovado::fuzz {

namespace {

constexpr WORD kModels[] = {kModel6611, kModel6612, kModel6621, kModel6621};
constexpr std::intptr_t kAttachStatuses[] = {0, 1, 2, 3, 0x8001};

// Reads a record's bytes; false when the input ends first.
struct Cursor {
    const BYTE* data;
    std::size_t size;
    std::size_t pos = 0;
    bool Byte(BYTE& b) {
        if (pos >= size) return false;
        b = data[pos++];
        return true;
    }
    // Up to n bytes: what is left when the input ends first.
    std::size_t Take(std::size_t n, const BYTE*& bytes) {
        bytes = data + pos;
        n = std::min(n, size - pos);
        pos += n;
        return n;
    }
};

}  // namespace

std::intptr_t FuzzBridge::SkypeWindow::WindowProc(std::uint32_t message, std::uintptr_t,
                                                  std::intptr_t lParam) {
    if (message != platform::kWmCopyData) return 0;
    const auto* copy = reinterpret_cast<const platform::CopyData*>(lParam);
    const auto* bytes = static_cast<const BYTE*>(copy->lpData);
    for (std::uint32_t i = 0; bytes && i < copy->cbData; ++i) m_nChecksum += bytes[i];
    return m_bRefuse ? 0 : 1;
}

FuzzBridge& FuzzBridge::Get() {
    // Never destroyed: the sanitizers' exit checks see it still reachable.
    static FuzzBridge* bridge = new FuzzBridge();
    return *bridge;
}

FuzzBridge::FuzzBridge() {
    char dir[] = "/tmp/kovado-fuzz-XXXXXX";
    if (mkdtemp(dir) && sim::WriteShippedSettings(dir, false)) m_shipped = MemFiles::ReadFolder(dir);
    std::filesystem::remove_all(dir);
    m_files.Reset(m_shipped);

    m_bridge = std::make_unique<sim::SimBridge>(false, [this](sim::SimBridge& b) {
        b.m_services.files = &m_files;
        b.m_services.hid = &m_hid;
    });
    m_pView = m_bridge->m_view.get();
    CBridgeView& view = *m_pView;
    // The loops go; the target takes their steps.
    view.m_pDeviceThread->Stop();
    view.m_pWatchThread->Stop();

    platform::IWindowSystem& windows = *m_bridge->m_services.windows;
    view.Create(0);
    m_hSkype = windows.CreateWindow(&m_skype, L"Skype", 0);
    view.m_pDebugDlg = new CDebugDlg(m_bridge->m_services);
    view.m_pDebugDlg->m_pOwner = &view;
    view.m_pDebugDlg->Create();

    m_started = Started{view.m_aLcdTexts,      view.m_arrUserTexts,    view.m_arrLanguageTitles,
                        view.m_arrLanguageFolders, view.m_nLanguageTitleCount, view.m_nChineseTIndex,
                        view.m_nChineseSIndex, view.m_bDebug, view.m_bHandshake, view.m_bCtrlPipe,
                        view.m_nVendorId, view.m_nPid6611, view.m_nPid6612, view.m_nPid6621};
    // What the loops' first passes left goes.
    ResetObjects();
}

void FuzzBridge::RestoreSettings() {
    CBridgeView& view = *m_pView;
    if (m_files.m_bChanged) m_files.Reset(m_shipped);
    const Started& s = m_started;
    view.m_aLcdTexts = s.lcdTexts;
    view.m_arrUserTexts = s.userTexts;
    view.m_arrLanguageTitles = s.titles;
    view.m_arrLanguageFolders = s.folders;
    view.m_nLanguageTitleCount = s.titleCount;
    view.m_nChineseTIndex = s.chineseT;
    view.m_nChineseSIndex = s.chineseS;
    view.m_bDebug = s.debug;
    view.m_bHandshake = s.handshake;
    view.m_bCtrlPipe = s.ctrlPipe;
    view.m_nVendorId = s.vendor;
    view.m_nPid6611 = s.pid6611;
    view.m_nPid6612 = s.pid6612;
    view.m_nPid6621 = s.pid6621;
    view.m_nLanguage = 0;
    view.m_nChineseVariant = 0xFF;
    view.m_bJapanese = 0;
}

// Everything an input allocated is freed before it ends, so the leak check
// that follows an input with more allocations than frees stays rare (and a
// real leak stands out). The objects are made afresh in their own storage:
// no allocation, and the sanitizers' quarantine does not fill with them.
template <class T>
void Renew(T* object, CBridgeView& view) {
    object->~T();
    new (object) T(&view);
}

void FuzzBridge::ResetObjects() {
    CBridgeView& view = *m_pView;
    Renew(view.m_pReader, view);
    Renew(view.m_pWriter, view);
    Renew(view.m_pRenderer, view);
    Renew(view.m_pCallHandler, view);
    Renew(view.m_pSearchHandler, view);

    view.m_listPendingAcks.clear();
    view.m_listKeyedAcks.clear();
    view.m_listCalls.clear();
    if (view.m_nCallIdCount) view.m_aCallIds = {};
    if (view.m_nMissedCallIdCount) view.m_aMissedCallIds = {};
    for (std::wstring& contact : view.m_arrContacts)
        if (contact.capacity() > 3) std::wstring().swap(contact);
    view.m_nCallIdCount = 0;
    view.m_nMissedCallIdCount = 0;
    view.m_nContactCount = 0;
    std::wstring().swap(view.m_strNotification);
    std::wstring().swap(view.m_strUserHandle);
    std::wstring().swap(view.m_strScratch);
    std::deque<std::wstring>().swap(view.m_pDebugDlg->m_lines);
    m_hid.m_input.clear();
    RestoreSettings();
}

void FuzzBridge::Reset(BYTE setup0, BYTE setup1) {
    CBridgeView& view = *m_pView;
    view.m_bDebug = setup1 & 1;
    view.m_bHandshake = !(setup1 & 2);
    view.m_bCtrlPipe = !(setup1 & 4);
    view.m_bSkypeNewer = (setup1 >> 3) & 1;

    m_hid.Plug(kModels[setup0 & 3]);
    view.m_hDevice = FuzzHid::kHandset;
    switch (setup0 & 3) {
        case 0: view.SetModel6611(); break;
        case 1: view.SetModel6612(); break;
        default: view.SetModel6621(); break;
    }
    if ((setup0 & 3) == 3) view.m_bDeviceReady = 1;
    if (setup1 & 16) view.m_bStatusAnswered = 0;
    view.m_nKeepAliveTicks = 0;
    view.m_nStatusQueryTicks = 0;

    m_skype.m_bRefuse = false;
    view.m_hSkypeWnd = (setup0 & 64) ? 0 : m_hSkype;
    view.m_strUserHandle = (setup0 & 128) ? L"me" : L"";
    view.m_nReplyMode = (setup0 >> 2) & 3;
    view.m_nReplySubMode = (setup0 >> 4) & 3;
}

void FuzzBridge::Report(const BYTE* bytes, std::size_t count) {
    CBridgeView& view = *m_pView;
    std::vector<BYTE> report{0x00};
    report.insert(report.end(), bytes, bytes + count);
    m_hid.m_input.push_back(std::move(report));
    // The device loop's pass.
    view.m_pWriter->FlushQueues();
    view.m_pReader->PollInput();
    view.m_pWriter->FlushQueues();
    view.RequestUserHandle();
    m_hid.m_input.clear();
}

void FuzzBridge::CopyData(const BYTE* bytes, std::size_t count, bool nullData, bool addNul) {
    CBridgeView& view = *m_pView;
    // A buffer of exactly the count, so a read past it is seen.
    std::unique_ptr<BYTE[]> buffer(new BYTE[count + (addNul ? 1 : 0)]);
    std::copy_n(bytes, count, buffer.get());
    if (addNul) buffer[count++] = 0;
    platform::CopyData copy;
    copy.dwData = 0;
    copy.cbData = static_cast<std::uint32_t>(count);
    copy.lpData = nullData ? nullptr : buffer.get();
    // Sent from the Skype window's thread, which is this one: a direct call.
    view.WindowProc(platform::kWmCopyData, m_hSkype, reinterpret_cast<std::intptr_t>(&copy));
    view.m_pWriter->FlushQueues();
}

void FuzzBridge::State(BYTE state) {
    CBridgeView& view = *m_pView;
    view.m_nReplyMode = state & 3;
    view.m_nReplySubMode = (state >> 2) & 3;
    if (state & 16) view.m_hSkypeWnd = 0;
    if (state & 32) view.m_strUserHandle.clear();
    if (state & 64) {
        // As supervision closes a handset that has gone.
        platform::DeviceHandle device = view.m_hDevice.exchange(0);
        if (device) m_hid.Close(device);
    }
    if (state & 128) m_skype.m_bRefuse = true;
}

void FuzzBridge::Run(const BYTE* data, std::size_t size, const KindMap& map) {
    if (size < 2) return;
    Reset(data[0], data[1]);
    RunRecords(data, size, map);
    ResetObjects();
}

void FuzzBridge::RunRecords(const BYTE* data, std::size_t size, const KindMap& map) {
    CBridgeView& view = *m_pView;
    Cursor in{data, size, 2};
    BYTE control = 0;
    while (in.Byte(control)) {
        Kind kind = map[control & 7];
        if (kind == Kind::CopyData)
            kind = static_cast<Kind>(static_cast<BYTE>(Kind::CopyData) + ((control >> 3) & 3));
        BYTE b = 0;
        const BYTE* bytes = nullptr;
        switch (kind) {
            case Kind::Report: {
                if (!in.Byte(b)) return;
                std::size_t n = in.Take(b, bytes);
                Report(bytes, n);
                break;
            }
            case Kind::CopyData:
            case Kind::CopyDataNull:
            case Kind::CopyDataNul: {
                if (!in.Byte(b)) return;
                std::size_t n = in.Take(b, bytes);
                CopyData(bytes, n, kind == Kind::CopyDataNull, kind == Kind::CopyDataNul);
                break;
            }
            case Kind::CopyDataLong: {
                BYTE high = 0;
                if (!in.Byte(b) || !in.Byte(high)) return;
                std::size_t n = in.Take(std::size_t{high} << 8 | b, bytes);
                CopyData(bytes, n, false, false);
                break;
            }
            case Kind::Tick:
                if (!in.Byte(b)) return;
                view.WindowProc(platform::kWmTimer, b & 1, 0);
                view.m_pWriter->FlushQueues();
                break;
            case Kind::State:
                if (!in.Byte(b)) return;
                State(b);
                break;
            case Kind::Attach:
                if (!in.Byte(b)) return;
                view.WindowProc(view.m_nMsgAttach, m_hSkype, b < 5 ? kAttachStatuses[b] : b);
                break;
            case Kind::Language:
                if (!in.Byte(b)) return;
                view.WindowProc(platform::kWmCommand, kCmdLanguageFirst + b % 20, 0);
                view.m_pWriter->FlushQueues();
                break;
        }
    }
}

}  // namespace kovado::fuzz
