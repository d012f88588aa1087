// The line syntax shared by the parameter file, the user text files and the
// language list: UTF-16LE after a byte order mark, lines ending in CR LF.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace kovado {

// false when the file cannot be opened or read.
bool ReadWholeFile(platform::IFiles* files, const std::wstring& path, std::vector<BYTE>& bytes);
bool WriteWholeFile(platform::IFiles* files, const std::wstring& path,
                    const std::vector<BYTE>& bytes);

// The lines of a file's bytes. Each line is the text before a line feed minus
// its last UTF-16 unit (the CR of the pair, or a real character when the line
// ended in a bare LF); text after the last line feed is no line. A leading
// FF FE is skipped; a file without it keeps its first character; a trailing
// odd byte is ignored.
std::vector<std::wstring> UnicodeSettingsLines(const std::vector<BYTE>& bytes);

// Compares ASCII letters without regard to case, everything else exactly.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace kovado
