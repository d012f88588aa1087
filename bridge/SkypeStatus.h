// Texts both Skype handlers understand: the status words, the user's own
// status report and the client's version.
#pragma once
#include <string>

#include "platform/Types.h"

namespace kovado {

class CBridgeView;

constexpr BYTE kStatusDnd = 4;
constexpr BYTE kStatusOther = 10;

// The number of the first status word found in text, tested in the handset's
// order ("ONLINE" 0 ... "SKYPEME" 9), 10 for none.
BYTE StatusNumber(const std::wstring& text);

// The user's own status (the text after "USERSTATUS "): the 0x6621 handset's
// status query rules, the status to the handset, then the version asked.
void ReportUserStatus(CBridgeView& view, const std::wstring& text);

// 1 for a client of version 1.4 or later (the text after "SKYPEVERSION "),
// else 0.
BYTE IsNewerSkype(const std::wstring& version);

}  // namespace kovado
