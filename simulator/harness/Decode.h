// Reports in words, for people reading a trace: the command or event by name
// with its call id, state, count or text.
#pragma once
#include <string>
#include <vector>

#include "platform/Types.h"

namespace kovado::sim {

// Names of command codes (to the handset) and event codes (from it); a code
// without a name gives "code 0xNN".
std::string CommandName(BYTE code);
std::string EventName(BYTE code);

// A report written to the handset, bytes from the report type on.
std::string DescribeToHandset(const std::vector<BYTE>& report);
// A report the handset sent, bytes from the report type on.
std::string DescribeFromHandset(const std::vector<BYTE>& report);

}  // namespace kovado::sim
