// How long a comparison run takes over 10,000 program files, next to
// rhash --check on an SFV file of the same files, both from a warm cache.
//
//   bench_compare [WORKDIR]
// A WORKDIR that holds the files of an earlier run is used again as it is
// (so that a profiler sees little else but the runs). The program
// prints "compare: qmverify=<seconds> rhash=<seconds> files=<n>".
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/ComparisonRun.h"
#include "core/Crc32.h"
#include "core/FileStatus.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultTable.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;
using bench::BestOf;

namespace {

constexpr int kFilesPerDirectory = 5000;
constexpr size_t kMinSize = 4 * 1024;
constexpr size_t kMaxSize = 200 * 1024;
constexpr int kRounds = 3;

// User and system time so far of this process or of its waited-for children.
double CpuSeconds(int who) {
    struct rusage usage;
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Writes the sample files and returns their paths relative to the root.
std::vector<std::string> MakeInstallation(const fs::path& root) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<size_t> size(kMinSize, kMaxSize);
    std::vector<uint64_t> buffer(kMaxSize / sizeof(uint64_t));
    std::vector<std::string> files;
    for (const char* directory : {"qmw", "db1"}) {
        fs::create_directories(root / directory);
        for (int i = 0; i < kFilesPerDirectory; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "f%05d.%s", i, i % 2 ? "dll" : "exe");
            const std::string relative = std::string(directory) + "/" + name;
            for (uint64_t& word : buffer) word = random();
            FILE* file = std::fopen((root / relative).string().c_str(), "wb");
            if (!file) return {};
            std::fwrite(buffer.data(), 1, size(random), file);
            std::fclose(file);
            files.push_back(relative);
        }
    }
    return files;
}

// The sample files of an earlier run, in the order MakeInstallation makes them.
std::vector<std::string> ListedFiles(const fs::path& root) {
    std::vector<std::string> files;
    for (const char* directory : {"qmw", "db1"}) {
        for (int i = 0; i < kFilesPerDirectory; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s/f%05d.%s", directory, i, i % 2 ? "dll" : "exe");
            if (!fs::exists(root / name)) return {};
            files.push_back(name);
        }
    }
    return files;
}

// "path CRC" lines, the CRCs from our own calculator, so that rhash's
// check also confirms them.
bool WriteSfv(const fs::path& root, const std::vector<std::string>& files, const fs::path& sfv) {
    FILE* out = std::fopen(sfv.string().c_str(), "wb");
    if (!out) return false;
    qm::CCrc32 crc;
    crc.BuildTable();
    for (const std::string& file : files) {
        uint32_t value = 0;
        crc.FileCrc32((root / file).string(), value);
        std::fprintf(out, "%s %08X\n", file.c_str(), value);
    }
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = argc > 1
                              ? fs::path(argv[1])
                              : fs::temp_directory_path() / ("qmbench-" + std::to_string(getpid()));
    const fs::path windows = work / "windows";
    const fs::path root = work / "root";
    const fs::path sfv = work / "files.sfv";
    std::vector<std::string> files = ListedFiles(root);
    if (!fs::exists(sfv) || files.size() != 2 * kFilesPerDirectory) {
        fs::remove_all(work);
        files = MakeInstallation(root);
    }
    fs::remove_all(windows);  // a fresh release list every time
    fs::create_directories(windows);
    if (files.empty() || !WriteSfv(root, files, sfv)) {
        std::fprintf(stderr, "bench_compare: cannot write the sample files in %s\n",
                     work.string().c_str());
        return 2;
    }

    qm::SetPlatformRoots({windows.string(), root.string()});
    qm::CReleaseListBuild build;
    if (build.BuildReleaseList().status != qm::BuildResult::Ok) {
        std::fprintf(stderr, "bench_compare: the release list build failed\n");
        return 2;
    }

    // One run first, which also warms the cache; every row must be identical.
    qm::CResultTable table;
    qm::SortState sort;
    const auto compare = [&] {
        qm::RunComparison(table, sort, qm::StatusTexts(), qm::ComparisonHooks());
        return true;
    };
    compare();
    const bool allIdentical =
        std::all_of(table.Rows().begin(), table.Rows().end(),
                    [](const qm::ResultRow& row) { return row.attributes.image == qm::Identical; });
    if (table.RowCount() != static_cast<int>(files.size()) || !allIdentical) {
        std::fprintf(stderr, "bench_compare: %d rows, all identical: %d\n", table.RowCount(),
                     allIdentical);
        return 2;
    }
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double qmverify = BestOf(kRounds, compare);
    const double qmverifyCpu = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / kRounds;

    const std::string check =
        "cd '" + root.string() + "' && rhash --check --sfv '" + sfv.string() + "' >/dev/null";
    const auto rhash = [&check] { return std::system(check.c_str()) == 0; };
    rhash();  // the same warm cache for rhash
    const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
    const double rhashSeconds = BestOf(kRounds, rhash);
    const double rhashCpu = (CpuSeconds(RUSAGE_CHILDREN) - childrenBefore) / kRounds;

    std::printf("compare: qmverify=%.3f rhash=%.3f files=%zu\n", qmverify, rhashSeconds,
                files.size());
    // Processor time per round, which other load on the machine disturbs less.
    std::printf("cpu: qmverify=%.3f rhash=%.3f\n", qmverifyCpu, rhashCpu);
    if (argc <= 1) fs::remove_all(work);
    return rhashSeconds < 0 ? 2 : 0;
}
