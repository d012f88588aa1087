// Small pieces shared by the renderer's command builders.
#pragma once
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Text.h"
#include "platform/Types.h"

namespace kovado::display {

// A command being built: code, length, and room for 66 data bytes.
using Command = std::array<BYTE, 68>;
constexpr int kMaxData = 66;
// Data bytes that reach the handset through the Talvery queue, and through
// a slot of the main queue.
constexpr int kTalveryData = 45;
constexpr int kMainData = 61;

// Reads a decimal number as the C library's atoi family does: leading white
// space, an optional sign, then digits; anything else ends it, no digits give
// 0, and a value beyond the range saturates.
inline std::int64_t ParseDecimal(std::wstring_view text, std::int64_t lo = INT64_MIN,
                                 std::int64_t hi = INT64_MAX) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        int digit = static_cast<int>(text[i] - L'0');
        if (!negative) {
            value = value > (hi - digit) / 10 ? hi : value * 10 + digit;
        } else {
            value = value < (lo + digit) / 10 ? lo : value * 10 - digit;
        }
    }
    return value;
}
inline int ParseInt(std::wstring_view text) {
    return static_cast<int>(ParseDecimal(text, INT_MIN, INT_MAX));
}

// The text up to the first space, or the whole text.
inline std::wstring FirstWord(const std::wstring& text) { return text.substr(0, text.find(L' ')); }

inline bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// The call id's low 16 bits, high byte first.
inline void PutCallId(const std::wstring& callId, BYTE* out) {
    auto id = static_cast<std::uint32_t>(ParseInt(callId));
    out[0] = static_cast<BYTE>(id >> 8);
    out[1] = static_cast<BYTE>(id);
}

// At most max bytes of the UTF-8 form, cut at a character boundary.
inline std::string Utf8Within(const std::wstring& text, std::size_t max) {
    std::string utf8 = ToUtf8(text);
    if (utf8.size() <= max) return utf8;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    utf8.resize(end);
    return utf8;
}

// Appends bytes at data offset `at` of the command, as many as fit in
// kMaxData; returns the new data length.
inline int PutBytes(Command& command, int at, const void* bytes, std::size_t count) {
    std::size_t room = static_cast<std::size_t>(kMaxData - at);
    if (count > room) count = room;
    std::memcpy(command.data() + 2 + at, bytes, count);
    return at + static_cast<int>(count);
}

}  // namespace kovado::display
