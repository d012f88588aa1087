#include "settings/ChipSettings.h"

#include <algorithm>
#include <array>

#include "bridge/BridgeView.h"
#include "platform/Files.h"
#include "transport/Codes.h"
#include "transport/DeviceWriter.h"

namespace kovado {

namespace {

constexpr BYTE kNoFile = 0x01;
constexpr BYTE kEmptyFile = 0x02;

void Answer(CBridgeView& view, BYTE code, const BYTE* data, std::size_t count) {
    std::array<BYTE, 72> command{};
    command[0] = code;
    command[1] = static_cast<BYTE>(count);
    std::copy(data, data + count, command.begin() + 2);
    view.m_pWriter->PushTalvery(command.data());
}

void AnswerResult(CBridgeView& view, BYTE code, BYTE result) { Answer(view, code, &result, 1); }

}  // namespace

void ReadChipSettings(CBridgeView& view, const std::wstring& path) {
    platform::IFiles* files = view.m_pPlatform->files;
    platform::FileHandle file = files ? files->Open(path, platform::FileAccess::Read) : 0;
    if (!file) {
        AnswerResult(view, Cmd::ChipSettingsData, kNoFile);
        return;
    }
    std::array<BYTE, 1 + kChipSettingsReadMax> data{};
    data[0] = Result::Ok;
    long got = files->Read(file, data.data() + 1, kChipSettingsReadMax);
    files->Close(file);
    if (got < 0)
        AnswerResult(view, Cmd::ChipSettingsData, kNoFile);
    else if (got == 0)
        AnswerResult(view, Cmd::ChipSettingsData, kEmptyFile);
    else
        Answer(view, Cmd::ChipSettingsData, data.data(), 1 + static_cast<std::size_t>(got));
}

void WriteChipSettings(CBridgeView& view, BYTE count, const BYTE* bytes, std::size_t carried,
                       const std::wstring& path) {
    std::size_t n = bytes ? std::min<std::size_t>(count, carried) : 0;
    platform::IFiles* files = view.m_pPlatform->files;
    platform::FileHandle file = files ? files->Open(path, platform::FileAccess::Write) : 0;
    bool stored = file != 0;
    if (file) {
        stored = n == 0 || files->Write(file, bytes, n);
        stored = files->Close(file) && stored;
    }
    AnswerResult(view, Cmd::ChipSettingsSaved, stored ? Result::Ok : Result::Refused);
}

}  // namespace kovado
