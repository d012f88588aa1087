// The block of bytes the handset keeps on the PC, stored unchanged in
// "setting\Talvery.cc", and the answers to the handset's requests for it.
#pragma once
#include <cstddef>
#include <string>

#include "platform/Types.h"
#include "settings/SettingsPaths.h"

namespace kovado {

class CBridgeView;

constexpr std::size_t kChipSettingsReadMax = 42;  // bytes sent back at most

// Answers ChipSettingsData: 00 and the first bytes of the file; 01 when the
// file cannot be opened or read; 02 when it is empty.
void ReadChipSettings(CBridgeView& view, const std::wstring& path = kChipSettingsFile);

// Stores the event's bytes as the whole file and answers ChipSettingsSaved:
// 00 when stored, Refused (01) when the file cannot be created or written.
// count is the event's count byte; carried is how many bytes really follow it
// in the report, and no more than those are stored.
void WriteChipSettings(CBridgeView& view, BYTE count, const BYTE* bytes, std::size_t carried,
                       const std::wstring& path = kChipSettingsFile);

}  // namespace kovado
