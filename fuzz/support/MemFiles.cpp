#include "fuzz/support/MemFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Text.h"

namespace kovado::fuzz {

MemFiles::Folder MemFiles::ReadFolder(const std::string& dir) {
    Folder folder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string relative = std::filesystem::relative(entry.path(), dir).generic_string();
        folder[Key(FromUtf8(relative.data(), relative.size()))] = std::move(bytes);
    }
    return folder;
}

std::wstring MemFiles::Key(const std::wstring& path) {
    std::wstring key = path;
    for (wchar_t& c : key) {
        if (c == L'/') c = L'\\';
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return key;
}

void MemFiles::Reset(const Folder& folder) {
    m_files = folder;
    m_open.clear();
    m_bChanged = false;
}

void MemFiles::Put(const std::wstring& path, std::vector<BYTE> bytes) {
    m_files[Key(path)] = std::move(bytes);
    m_bChanged = true;
}

void MemFiles::Remove(const std::wstring& path) {
    m_files.erase(Key(path));
    m_bChanged = true;
}

MemFiles::OpenFile* MemFiles::Find(platform::FileHandle file, platform::FileAccess access) {
    auto it = m_open.find(file);
    if (it == m_open.end() || it->second.access != access) return nullptr;
    return &it->second;
}

platform::FileHandle MemFiles::Open(const std::wstring& path, platform::FileAccess access) {
    std::wstring key = Key(path);
    if (access == platform::FileAccess::Read) {
        if (!m_files.count(key)) return 0;
    } else {
        m_files[key].clear();
        m_bChanged = true;
    }
    platform::FileHandle handle = m_nNext++;
    m_open[handle] = OpenFile{key, access, 0};
    return handle;
}

bool MemFiles::Close(platform::FileHandle file) { return m_open.erase(file) != 0; }

bool MemFiles::ReadAll(platform::FileHandle file, std::vector<BYTE>& out) {
    out.clear();
    OpenFile* f = Find(file, platform::FileAccess::Read);
    if (!f) return false;
    const std::vector<BYTE>& bytes = m_files[f->key];
    out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(f->pos, bytes.size())), bytes.end());
    f->pos = bytes.size();
    return true;
}

long MemFiles::Read(platform::FileHandle file, BYTE* buffer, std::size_t count) {
    OpenFile* f = Find(file, platform::FileAccess::Read);
    if (!f) return -1;
    const std::vector<BYTE>& bytes = m_files[f->key];
    std::size_t n = f->pos < bytes.size() ? std::min(count, bytes.size() - f->pos) : 0;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(f->pos), n, buffer);
    f->pos += n;
    return static_cast<long>(n);
}

// As a text-mode read: CR LF comes as one LF.
bool MemFiles::ReadLine(platform::FileHandle file, std::string& line, std::size_t maxBytes) {
    line.clear();
    OpenFile* f = Find(file, platform::FileAccess::Read);
    if (!f) return false;
    const std::vector<BYTE>& bytes = m_files[f->key];
    while (line.size() < maxBytes && f->pos < bytes.size()) {
        char c = static_cast<char>(bytes[f->pos++]);
        if (c == '\r' && f->pos < bytes.size() && bytes[f->pos] == '\n') c = static_cast<char>(bytes[f->pos++]);
        line.push_back(c);
        if (c == '\n') break;
    }
    return !line.empty();
}

bool MemFiles::Write(platform::FileHandle file, const void* bytes, std::size_t count) {
    OpenFile* f = Find(file, platform::FileAccess::Write);
    if (!f) return false;
    const auto* from = static_cast<const BYTE*>(bytes);
    std::vector<BYTE>& to = m_files[f->key];
    to.insert(to.end(), from, from + count);
    return true;
}

bool MemFiles::Truncate(platform::FileHandle file) {
    OpenFile* f = Find(file, platform::FileAccess::Write);
    if (!f) return false;
    m_files[f->key].clear();
    return true;
}

bool MemFiles::Copy(const std::wstring& from, const std::wstring& to) {
    auto it = m_files.find(Key(from));
    if (it == m_files.end()) return false;
    std::vector<BYTE> bytes = it->second;
    m_files[Key(to)] = std::move(bytes);
    m_bChanged = true;
    return true;
}

}  // namespace kovado::fuzz
