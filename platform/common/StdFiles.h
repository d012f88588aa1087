// The files seam over the C++ standard library's file streams. Paths are
// resolved against m_baseDir; an empty base means the process's current
// directory. A backslash in a path is a separator.
#pragma once
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Files.h"

namespace kovado::platform {

class StdFiles : public IFiles {
public:
    FileHandle Open(const std::wstring& path, FileAccess access) override;
    bool Close(FileHandle file) override;
    bool ReadAll(FileHandle file, std::vector<BYTE>& out) override;
    long Read(FileHandle file, BYTE* buffer, std::size_t count) override;
    bool ReadLine(FileHandle file, std::string& line, std::size_t maxBytes) override;
    bool Write(FileHandle file, const void* bytes, std::size_t count) override;
    bool Truncate(FileHandle file) override;
    bool Copy(const std::wstring& from, const std::wstring& to) override;

    std::filesystem::path Resolve(const std::wstring& path) const;

    std::filesystem::path m_baseDir;

private:
    struct OpenFile {
        std::filebuf buf;
        std::filesystem::path path;
        FileAccess access = FileAccess::Read;
    };
    OpenFile* Find(FileHandle file);

    // Guards the handle table only; no file operation waits on anything else.
    std::mutex m_lock;
    std::map<FileHandle, std::unique_ptr<OpenFile>> m_files;
    FileHandle m_nNext = 1;
};

}  // namespace kovado::platform
