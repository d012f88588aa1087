#include "platform/common/StdFiles.h"

#include "platform/Text.h"

namespace kovado::platform {

namespace {
std::ios_base::openmode ModeOf(FileAccess access) {
    return access == FileAccess::Read ? std::ios::in | std::ios::binary
                                      : std::ios::out | std::ios::trunc | std::ios::binary;
}
}  // namespace

std::filesystem::path StdFiles::Resolve(const std::wstring& path) const {
    std::string utf8 = ToUtf8(path);
    for (char& c : utf8)
        if (c == '\\') c = '/';
    std::filesystem::path relative(std::u8string(utf8.begin(), utf8.end()));
    return m_baseDir.empty() ? relative : m_baseDir / relative;
}

StdFiles::OpenFile* StdFiles::Find(FileHandle file) {
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_files.find(file);
    return it == m_files.end() ? nullptr : it->second.get();
}

FileHandle StdFiles::Open(const std::wstring& path, FileAccess access) {
    auto file = std::make_unique<OpenFile>();
    file->path = Resolve(path);
    file->access = access;
    std::error_code error;
    if (std::filesystem::is_directory(file->path, error)) return 0;
    if (!file->buf.open(file->path, ModeOf(access))) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    FileHandle handle = m_nNext++;
    m_files[handle] = std::move(file);
    return handle;
}

bool StdFiles::Close(FileHandle file) {
    std::unique_ptr<OpenFile> owned;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_files.find(file);
        if (it == m_files.end()) return false;
        owned = std::move(it->second);
        m_files.erase(it);
    }
    return owned->buf.close() != nullptr;
}

bool StdFiles::ReadAll(FileHandle file, std::vector<BYTE>& out) {
    out.clear();
    OpenFile* f = Find(file);
    if (!f || f->access != FileAccess::Read) return false;
    char chunk[4096];
    for (;;) {
        std::streamsize got = f->buf.sgetn(chunk, sizeof chunk);
        out.insert(out.end(), chunk, chunk + got);
        if (got < static_cast<std::streamsize>(sizeof chunk)) return true;
    }
}

long StdFiles::Read(FileHandle file, BYTE* buffer, std::size_t count) {
    OpenFile* f = Find(file);
    if (!f || f->access != FileAccess::Read) return -1;
    return static_cast<long>(
        f->buf.sgetn(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count)));
}

bool StdFiles::ReadLine(FileHandle file, std::string& line, std::size_t maxBytes) {
    line.clear();
    OpenFile* f = Find(file);
    if (!f || f->access != FileAccess::Read) return false;
    constexpr auto eof = std::char_traits<char>::eof();
    while (line.size() < maxBytes) {
        int c = f->buf.sbumpc();
        if (c == eof) break;
        if (c == '\r' && f->buf.sgetc() == '\n') c = f->buf.sbumpc();
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

bool StdFiles::Write(FileHandle file, const void* bytes, std::size_t count) {
    OpenFile* f = Find(file);
    if (!f || f->access != FileAccess::Write) return false;
    auto n = static_cast<std::streamsize>(count);
    return f->buf.sputn(static_cast<const char*>(bytes), n) == n;
}

bool StdFiles::Truncate(FileHandle file) {
    OpenFile* f = Find(file);
    if (!f || f->access != FileAccess::Write) return false;
    f->buf.close();
    return f->buf.open(f->path, ModeOf(FileAccess::Write)) != nullptr;
}

bool StdFiles::Copy(const std::wstring& from, const std::wstring& to) {
    std::error_code error;
    return std::filesystem::copy_file(Resolve(from), Resolve(to),
                                      std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace kovado::platform
