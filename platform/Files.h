// Files, as the settings code sees them: relative paths written with
// backslashes ("setting\ParameterSetting.cc"), resolved against one base
// directory; byte-exact reads and writes on open handles.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace kovado::platform {

using FileHandle = std::uintptr_t;  // 0: not open

enum class FileAccess {
    Read,
    Write,  // creates the file or truncates it to length 0
};

class IFiles {
public:
    virtual ~IFiles() = default;

    // 0 when the file cannot be opened.
    virtual FileHandle Open(const std::wstring& path, FileAccess access) = 0;
    // false when buffered data could not be written out.
    virtual bool Close(FileHandle file) = 0;

    // Everything from the current position to the end; false on a read error.
    virtual bool ReadAll(FileHandle file, std::vector<BYTE>& out) = 0;
    // Up to count bytes into buffer; the number read, or -1 on a read error.
    virtual long Read(FileHandle file, BYTE* buffer, std::size_t count) = 0;
    // One line as a text-mode read delivers it: the bytes up to and including
    // the next line feed, but at most maxBytes of them, with CR LF delivered as
    // a single LF. false at the end of the file.
    virtual bool ReadLine(FileHandle file, std::string& line, std::size_t maxBytes) = 0;

    virtual bool Write(FileHandle file, const void* bytes, std::size_t count) = 0;
    // Cuts a file open for writing back to length 0.
    virtual bool Truncate(FileHandle file) = 0;
    // Copies a whole file over another, creating or truncating the target.
    virtual bool Copy(const std::wstring& from, const std::wstring& to) = 0;
};

}  // namespace kovado::platform
