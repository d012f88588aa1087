// Files kept in memory, for fuzz targets: a settings folder is put back in a
// few microseconds before every input, and nothing touches the disk. Paths are
// compared as Windows compares them: ASCII case and either slash ignored.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace kovado::fuzz {

class MemFiles : public platform::IFiles {
public:
    using Folder = std::map<std::wstring, std::vector<BYTE>>;

    // Every file under dir, by its path relative to dir.
    static Folder ReadFolder(const std::string& dir);

    // Puts the folder back as it was given; open handles are forgotten.
    void Reset(const Folder& folder);
    void Put(const std::wstring& path, std::vector<BYTE> bytes);
    void Remove(const std::wstring& path);

    platform::FileHandle Open(const std::wstring& path, platform::FileAccess access) override;
    bool Close(platform::FileHandle file) override;
    bool ReadAll(platform::FileHandle file, std::vector<BYTE>& out) override;
    long Read(platform::FileHandle file, BYTE* buffer, std::size_t count) override;
    bool ReadLine(platform::FileHandle file, std::string& line, std::size_t maxBytes) override;
    bool Write(platform::FileHandle file, const void* bytes, std::size_t count) override;
    bool Truncate(platform::FileHandle file) override;
    bool Copy(const std::wstring& from, const std::wstring& to) override;

    // Some file was written since the last Reset.
    bool m_bChanged = false;

private:
    struct OpenFile {
        std::wstring key;
        platform::FileAccess access;
        std::size_t pos = 0;
    };
    static std::wstring Key(const std::wstring& path);
    OpenFile* Find(platform::FileHandle file, platform::FileAccess access);

    Folder m_files;
    std::map<platform::FileHandle, OpenFile> m_open;
    platform::FileHandle m_nNext = 1;
};

}  // namespace kovado::fuzz
