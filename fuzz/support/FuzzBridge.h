// The whole bridge on the simulation backend, built once per fuzzing process
// and put back to a known state before every input: the worker loops are
// stopped, and the target runs the device loop's pass and the user-interface
// thread's messages itself, so one input is a few direct calls into the real
// reader, dispatcher, router, handlers and writer.
#pragma once
#include <cstddef>
#include <memory>

#include "bridge/BridgeView.h"
#include "fuzz/support/FuzzHid.h"
#include "fuzz/support/MemFiles.h"
#include "fuzz/support/Records.h"
#include "simulator/harness/SimBridge.h"

namespace kovado::fuzz {

class FuzzBridge {
public:
    // The one bridge of this process.
    static FuzzBridge& Get();

    // Runs one input: setup bytes, then records read by the map.
    void Run(const BYTE* data, std::size_t size, const KindMap& map);

    // The Skype client's window: takes every command, reading all its bytes.
    struct SkypeWindow : platform::IWindowClient {
        std::intptr_t WindowProc(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
        bool m_bRefuse = false;
        unsigned m_nChecksum = 0;
    };

    MemFiles m_files;
    MemFiles::Folder m_shipped;
    FuzzHid m_hid;
    SkypeWindow m_skype;

    // Makes the objects that keep a conversation's state afresh and empties
    // what an input left in the view's lists and texts.
    void ResetObjects();

    // Puts back what the settings files set at start-up: files, texts,
    // languages, switches and ids.
    void RestoreSettings();
    std::unique_ptr<sim::SimBridge> m_bridge;
    CBridgeView* m_pView = nullptr;
    platform::WindowHandle m_hSkype = 0;

private:
    FuzzBridge();
    void Reset(BYTE setup0, BYTE setup1);
    void RunRecords(const BYTE* data, std::size_t size, const KindMap& map);
    // One pass of the device loop with this report waiting.
    void Report(const BYTE* bytes, std::size_t count);
    void CopyData(const BYTE* bytes, std::size_t count, bool nullData, bool addNul);
    void State(BYTE state);

    // What start-up left, put back before every input.
    struct Started {
        std::array<std::array<BYTE, 65>, 64> lcdTexts{};
        std::vector<std::wstring> userTexts, titles, folders;
        BYTE titleCount = 0, chineseT = 0, chineseS = 0;
        BOOL debug = 0, handshake = 0, ctrlPipe = 0;
        WORD vendor = 0, pid6611 = 0, pid6612 = 0, pid6621 = 0;
    } m_started;
};

}  // namespace kovado::fuzz
