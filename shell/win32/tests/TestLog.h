// A line log shared by the Wine test programs: each line is appended to a
// file in UTF-8 and flushed at once, so a script can watch it grow.
#pragma once
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/Text.h"

namespace kovado::wintest {

class LineLog {
public:
    explicit LineLog(const wchar_t* path) : m_file(_wfopen(path, L"ab")) {}
    ~LineLog() {
        if (m_file) std::fclose(m_file);
    }
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    void Line(const std::wstring& line) { Line(ToUtf8(line)); }
    void Line(const std::string& line) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_file) return;
        std::fprintf(m_file, "%s\n", line.c_str());
        std::fflush(m_file);
    }
    bool Open() const { return m_file != nullptr; }

private:
    std::mutex m_lock;
    std::FILE* m_file;
};

}  // namespace kovado::wintest
