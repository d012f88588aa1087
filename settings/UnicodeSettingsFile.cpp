#include "settings/UnicodeSettingsFile.h"

namespace kovado {

bool ReadWholeFile(platform::IFiles* files, const std::wstring& path, std::vector<BYTE>& bytes) {
    bytes.clear();
    if (!files) return false;
    platform::FileHandle file = files->Open(path, platform::FileAccess::Read);
    if (!file) return false;
    bool read = files->ReadAll(file, bytes);
    files->Close(file);
    return read;
}

bool WriteWholeFile(platform::IFiles* files, const std::wstring& path,
                    const std::vector<BYTE>& bytes) {
    if (!files) return false;
    platform::FileHandle file = files->Open(path, platform::FileAccess::Write);
    if (!file) return false;
    bool written = files->Write(file, bytes.data(), bytes.size());
    return files->Close(file) && written;
}

namespace {

// UTF-16 units to the program's wide text; on a 32-bit wchar_t surrogate
// pairs are combined and a lone surrogate becomes U+FFFD.
std::wstring FromUtf16(const std::u16string& units) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(units.begin(), units.end());
    } else {
        std::wstring out;
        out.reserve(units.size());
        for (std::size_t i = 0; i < units.size(); ++i) {
            char32_t c = units[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            out.push_back(static_cast<wchar_t>(c));
        }
        return out;
    }
}

}  // namespace

std::vector<std::wstring> UnicodeSettingsLines(const std::vector<BYTE>& bytes) {
    std::size_t start = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE ? 2 : 0;
    std::vector<std::wstring> lines;
    std::u16string line;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit != u'\n') {
            line.push_back(unit);
            continue;
        }
        if (!line.empty()) line.pop_back();
        lines.push_back(FromUtf16(line));
        line.clear();
    }
    return lines;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

}  // namespace kovado
