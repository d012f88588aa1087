// Text helpers shared by the core: UTF-8 <-> UTF-16 as the Windows conversion
// functions do it, and the "contains / remove every occurrence" matching with
// which Skype texts are recognised.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kovado {

// Invalid sequences and unpaired surrogates become U+FFFD.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(const void* bytes, std::size_t count);
inline std::wstring FromUtf8(std::string_view text) { return FromUtf8(text.data(), text.size()); }

inline bool Contains(const std::wstring& text, std::wstring_view part) {
    return text.find(part) != std::wstring::npos;
}
// Deletes every occurrence of part; returns how many were removed.
std::size_t RemoveAll(std::wstring& text, std::wstring_view part);

std::wstring Widen(std::string_view ascii);

}  // namespace kovado
