#include "platform/Text.h"

namespace kovado {

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    auto put = [&out](std::uint32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 4) {
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
            put(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            std::uint32_t d = static_cast<std::uint32_t>(text[i + 1]);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                put(0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                ++i;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        put(c);
    }
    return out;
}

std::wstring FromUtf8(const void* bytes, std::size_t count) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::wstring out;
    out.reserve(count);
    auto emit = [&out](std::uint32_t cp) {
        if (cp >= 0x10000 && sizeof(wchar_t) == 2) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    };
    std::size_t i = 0;
    while (i < count) {
        unsigned char b = p[i];
        if (b < 0x80) {
            emit(b);
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0, min = 0;
        if (b >= 0xC2 && b <= 0xDF) { extra = 1; cp = b & 0x1F; min = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { extra = 2; cp = b & 0x0F; min = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { extra = 3; cp = b & 0x07; min = 0x10000; }
        else { emit(0xFFFD); ++i; continue; }
        std::size_t j = i + 1;
        int got = 0;
        while (got < extra && j < count && (p[j] & 0xC0) == 0x80) {
            cp = (cp << 6) | (p[j] & 0x3F);
            ++j;
            ++got;
        }
        if (got < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            emit(0xFFFD);
            i = j;  // skip the lead byte and the continuation bytes it took
            continue;
        }
        emit(cp);
        i = j;
    }
    return out;
}

std::size_t RemoveAll(std::wstring& text, std::wstring_view part) {
    // One left-to-right scan of the original: an occurrence formed by joining
    // the pieces around a removed one stays, as with a plain replace-all.
    if (part.empty()) return 0;
    std::size_t removed = 0;
    std::size_t from = 0;
    std::size_t at = text.find(part);
    if (at == std::wstring::npos) return 0;
    std::wstring out;
    out.reserve(text.size());
    while (at != std::wstring::npos) {
        out.append(text, from, at - from);
        from = at + part.size();
        ++removed;
        at = text.find(part, from);
    }
    out.append(text, from, std::wstring::npos);
    text.swap(out);
    return removed;
}

std::wstring Widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace kovado
