// Each settings file reader with any bytes in its file: the first byte picks
// the file, the rest is its content (odd lengths, no byte order mark, no line
// ends, anything). The texts read are then used as the program uses them.
#include <vector>

#include "bridge/BridgeView.h"
#include "display/DisplayRenderer.h"
#include "fuzz/support/FuzzBridge.h"
#include "settings/ChipSettings.h"
#include "settings/Settings.h"
#include "settings/SettingsPaths.h"
#include "transport/DeviceWriter.h"

namespace {

using kovado::BYTE;
using kovado::CBridgeView;

// The texts as the handset and the tray get them.
void UseTexts(CBridgeView& view) {
    for (BYTE slot = 0; slot <= 50; ++slot) {
        view.m_pRenderer->SendMenuText(slot);
        if (slot % 32 == 31) view.m_pWriter->FlushQueues();
    }
    view.m_pWriter->FlushQueues();
    for (int i = 0; i < static_cast<int>(view.m_arrUserTexts.size()); ++i)
        (void)kovado::UserText(view, i);
}

std::wstring SecondLanguageFile(CBridgeView& view, const wchar_t* name) {
    return kovado::kLanguageFolder + view.m_arrLanguageFolders.at(1) + name;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovado::fuzz::FuzzBridge::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kovado;
    if (size < 1) return 0;
    fuzz::FuzzBridge& bridge = fuzz::FuzzBridge::Get();
    CBridgeView& view = *bridge.m_pView;
    if (view.m_hDevice == 0) {
        // A handset to show the texts on.
        bridge.m_hid.Plug(kModel6612);
        view.m_hDevice = fuzz::FuzzHid::kHandset;
        view.SetModel6612();
    }
    view.m_nReplyMode = kModeIdle;
    std::vector<BYTE> file(data + 1, data + size);
    switch (data[0] % 7) {
        case 0:
            bridge.m_files.Put(kParameterSettingsFile, file);
            LoadParameterSettings(view);
            break;
        case 1:
            bridge.m_files.Put(kUserTextsFile, file);
            LoadUserTexts(view);
            UseTexts(view);
            break;
        case 2:
            bridge.m_files.Put(kMenuTextsFile, file);
            LoadMenuTexts(view);
            UseTexts(view);
            break;
        case 3:
            // Then every language it lists, with whatever files their folders have.
            bridge.m_files.Put(kLanguageListFile, file);
            LoadLanguageList(view);
            for (unsigned id = kCmdLanguageFirst; id <= kCmdLanguageLast; ++id)
                OnLanguageCommand(view, id);
            ApplyHandsetVariant(view, 0);
            ApplyHandsetVariant(view, 1);
            UseTexts(view);
            break;
        case 4:
            // Read back as the handset asks for it, and stored as it sends it.
            bridge.m_files.Put(kChipSettingsFile, file);
            ReadChipSettings(view);
            WriteChipSettings(view, file.empty() ? 0 : file[0], file.data(), file.size());
            view.m_pWriter->FlushQueues();
            break;
        case 5:
            bridge.m_files.Put(SecondLanguageFile(view, kLanguageUserTexts), file);
            OnLanguageCommand(view, kCmdLanguageFirst + 1);
            UseTexts(view);
            break;
        case 6:
            bridge.m_files.Put(SecondLanguageFile(view, kLanguageMenuTexts), file);
            OnLanguageCommand(view, kCmdLanguageFirst + 1);
            UseTexts(view);
            break;
    }
    bridge.ResetObjects();
    return 0;
}
