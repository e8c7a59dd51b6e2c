// A fresh directory below the system's temporary directory for one test,
// removed with everything in it when the test ends. Its files are named the
// way the core names them: the directory's text, a backslash and the name.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Platform.h"

namespace qm::test {

class TempDirectory {
public:
    TempDirectory() {
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("qmplatform-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The directory as an 8-bit text without a trailing separator.
    std::string text() const { return m_path.string(); }
    // A name in this directory, joined the Windows way.
    std::string operator[](const std::string& name) const { return text() + "\\" + name; }

    void Write(const std::string& name, const std::string& contents) const {
        std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    }
    std::string Contents(const std::string& name) const {
        std::ifstream in(m_path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Has(const std::string& name) const { return std::filesystem::exists(m_path / name); }
    void MakeDirectory(const std::string& name) const {
        std::filesystem::create_directories(m_path / name);
    }

private:
    std::filesystem::path m_path;
};

// Gives the platform back its own roots when a test has set others.
class RootsGuard {
public:
    RootsGuard() = default;
    ~RootsGuard() { SetPlatformRoots(PlatformRoots{}); }
    RootsGuard(const RootsGuard&) = delete;
    RootsGuard& operator=(const RootsGuard&) = delete;
};

}  // namespace qm::test
