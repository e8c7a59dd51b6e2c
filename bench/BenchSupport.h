// What the benchmarks share: timing a piece of work as the best of a few
// rounds, and a scratch directory for the files they make.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace bench {

// The fewest seconds that `work` took in `rounds` runs; -1 when a run
// failed (returned false).
inline double BestOf(int rounds, const std::function<bool()>& work) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!work()) return -1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// A fresh directory below the system's temporary directory, removed with
// everything in it at the end.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& what) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("qmverify-" + what + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace bench
