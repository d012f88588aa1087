// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace kovado::test {

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        std::string name = "kovado-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter.fetch_add(1));
        m_path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // relative uses forward slashes; missing folders are created.
    void Put(const std::string& relative, const std::string& bytes) const {
        std::filesystem::path file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string Get(const std::string& relative) const {
        std::ifstream in(m_path / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(m_path / relative);
    }

    std::filesystem::path m_path;
};

}  // namespace kovado::test
