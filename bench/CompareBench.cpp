// How long a comparison run takes over 10,000 program files (4 to 200 KiB),
// beside tools that check the same files, in the same run:
//
//   compare: qmverify=<s> rhash=<s> files=<n>
//     the list without SHA-256 keys (CRC-32 only), beside rhash --check on an
//     SFV file, both from a warm cache;
//   cpu: qmverify=<s> rhash=<s>
//     their processor time per round;
//   digest: qmverify=<s> crconly=<s> sha256sum=<s> files=<n> bytes=<n>
//     the list with a SHA-256 per entry, the same list without them, and
//     sha256sum -c on a checksum file of the same files, from a warm cache;
//   cold: qmverify=<s> floor=<s>
//     where the page cache can be dropped (root on Linux): the digest compare
//     from a cold cache beside the best of 1, 2 and 4 plain parallel readers
//     of the same files from a cold cache: what the drive itself allows;
//   goal: digest=<s> floor=<s> ratio=<x> cpu=<x> sha256sum=<x>
//     last: the digest compare beside the compute floor, the bytes over
//     OpenSSL's SHA-256 rate on one processor (measured here, in memory, in
//     pieces of 64 KiB) times the processors, with their ratio; the same
//     ratio by processor time (the compare's, per round, over the bytes at
//     OpenSSL's rate by processor time), which other work on the machine
//     disturbs far less; and how many times faster than sha256sum -c it is.
//
//   bench_compare [WORKDIR] [JOBS]
// A WORKDIR that holds the files of an earlier run is used again as it is;
// JOBS reads that many files at once, as qmverify-cli --jobs does (by
// default the drive decides).
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "core/ComparisonRun.h"
#include "core/Crc32.h"
#include "core/FileDigests.h"
#include "core/FileStatus.h"
#include "core/ParallelFingerprints.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultTable.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;
using bench::BestOf;

namespace {

constexpr int kFilesPerDirectory = 5000;
constexpr size_t kMinSize = 4 * 1024;
constexpr size_t kMaxSize = 200 * 1024;
constexpr int kRounds = 3;
constexpr int kColdRounds = 2;

// User and system time so far of this process or of its waited-for children.
double CpuSeconds(int who) {
    struct rusage usage;
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string NameOf(const char* directory, int i) {
    char name[40];
    std::snprintf(name, sizeof name, "%s/f%05d.%s", directory, i, i % 2 ? "dll" : "exe");
    return name;
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
            const std::string relative = NameOf(directory, i);
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
            const std::string name = NameOf(directory, i);
            if (!fs::exists(root / name)) return {};
            files.push_back(name);
        }
    }
    return files;
}

// "path CRC" lines (SFV, for rhash) and "digest  path" lines (for
// sha256sum), from our own engine, so that the tools also confirm them.
bool WriteChecksums(const fs::path& root, const std::vector<std::string>& files,
                    const fs::path& sfv, const fs::path& sums) {
    FILE* crcOut = std::fopen(sfv.string().c_str(), "wb");
    FILE* shaOut = std::fopen(sums.string().c_str(), "wb");
    if (!crcOut || !shaOut) return false;
    qm::CCrc32 crc;
    crc.BuildTable();
    qm::CReadBuffer buffer;
    for (const std::string& file : files) {
        const qm::FileDigests digests = qm::ReadFileDigests(crc, (root / file).string(), buffer);
        std::fprintf(crcOut, "%s %08X\n", file.c_str(), static_cast<unsigned>(digests.crc));
        std::fprintf(shaOut, "%s  %s\n", qm::Sha256Hex(digests.sha256).c_str(), file.c_str());
    }
    return std::fclose(crcOut) == 0 && std::fclose(shaOut) == 0;
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The list without its SHA-256 keys: a list as every build wrote it before.
std::string WithoutDigests(std::string list) {
    std::string out;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        end = end == std::string::npos ? list.size() : end + 1;
        if (list.compare(start, 6, "SHA256") != 0) out.append(list, start, end - start);
        start = end;
    }
    return out;
}

// Empties the page cache, so that every file comes from the drive; false
// where this process may not (not root, not Linux).
bool DropPageCache() {
    sync();
    const int fd = open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0) return false;
    const bool dropped = write(fd, "3", 1) == 1;
    close(fd);
    return dropped;
}

// Plain readers: `threads` threads, each reading the next file of the list
// whole in 256 KiB pieces and nothing else.
bool ReadAllFiles(const fs::path& root, const std::vector<std::string>& files, int threads) {
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    std::vector<std::thread> readers;
    for (int t = 0; t < threads; ++t) {
        readers.emplace_back([&] {
            std::unique_ptr<char[]> piece(new char[256 * 1024]);
            for (size_t i; (i = next++) < files.size();) {
                const int fd = open((root / files[i]).c_str(), O_RDONLY);
                if (fd < 0) {
                    ok = false;
                    continue;
                }
                while (read(fd, piece.get(), 256 * 1024) > 0) {
                }
                close(fd);
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    return ok;
}

// OpenSSL's SHA-256 on one processor, in bytes per second by the clock and
// by processor time: 256 MiB in memory, in pieces of 64 KiB, the best of
// three rounds.
struct Rate {
    double elapsed = 0;
    double processor = 0;
};
Rate OpenSslSha256Rate() {
    constexpr size_t kPiece = 64 * 1024;
    constexpr size_t kBytes = size_t{256} << 20;
    std::vector<unsigned char> data(kBytes);
    for (size_t i = 0; i < kBytes; ++i) data[i] = static_cast<unsigned char>(i * 2654435761u >> 24);
    double processorSeconds = 1e30;
    const double seconds = BestOf(3, [&data, &processorSeconds] {
        const double processorStart = CpuSeconds(RUSAGE_SELF);
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        bool ok = EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
        for (size_t at = 0; ok && at < data.size(); at += kPiece) {
            ok = EVP_DigestUpdate(context, data.data() + at, kPiece) == 1;
        }
        ok = ok && EVP_DigestFinal_ex(context, digest, &size) == 1;
        EVP_MD_CTX_free(context);
        processorSeconds = std::min(processorSeconds, CpuSeconds(RUSAGE_SELF) - processorStart);
        return ok;
    });
    if (seconds <= 0) return Rate();
    return {kBytes / seconds, kBytes / std::max(processorSeconds, 1e-9)};
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = argc > 1
                              ? fs::path(argv[1])
                              : fs::temp_directory_path() / ("qmbench-" + std::to_string(getpid()));
    const fs::path windows = work / "windows";
    const fs::path root = work / "root";
    const fs::path sfv = work / "files.sfv";
    const fs::path sums = work / "files.sha256";
    std::vector<std::string> files = ListedFiles(root);
    if (!fs::exists(sums) || files.size() != 2 * kFilesPerDirectory) {
        fs::remove_all(work);
        files = MakeInstallation(root);
    }
    fs::remove_all(windows);  // a fresh release list every time
    fs::create_directories(windows);
    if (files.empty() || !WriteChecksums(root, files, sfv, sums)) {
        std::fprintf(stderr, "bench_compare: cannot write the sample files in %s\n",
                     work.string().c_str());
        return 2;
    }
    uint64_t bytes = 0;
    for (const std::string& file : files) bytes += fs::file_size(root / file);

    qm::SetPlatformRoots({windows.string(), root.string()});
    if (argc > 2) qm::SetFingerprintJobs(std::atoi(argv[2]));
    if (qm::CReleaseListBuild().BuildReleaseList().status != qm::BuildResult::Ok) {
        std::fprintf(stderr, "bench_compare: the release list build failed\n");
        return 2;
    }
    const fs::path listPath = windows / "qmverify.lst";
    const std::string withDigests = Contents(listPath);
    const std::string crcOnly = WithoutDigests(withDigests);
    const auto useList = [&listPath](const std::string& text) {
        std::ofstream(listPath, std::ios::binary | std::ios::trunc) << text;
    };

    // Every run must find every row identical.
    qm::CResultTable table;
    qm::SortState sort;
    const auto compare = [&] {
        qm::RunComparison(table, sort, qm::ComparisonHooks());
        return table.RowCount() == static_cast<int>(files.size()) &&
               std::all_of(table.Rows().begin(), table.Rows().end(), [](const qm::ResultRow& row) {
                   return row.file.status == qm::Identical;
               });
    };
    const auto runTool = [](const std::string& command) {
        return [command] { return std::system(command.c_str()) == 0; };
    };
    const std::string inRoot = "cd '" + root.string() + "' && ";

    // Warm: every file in the page cache (a compare that finds a file
    // outside it reads it past the cache, and leaves it there).
    ReadAllFiles(root, files, 4);

    // CRC-32 only, beside rhash, as this benchmark always measured.
    useList(crcOnly);
    if (!compare()) {
        std::fprintf(stderr, "bench_compare: %d rows, not all identical\n", table.RowCount());
        return 2;
    }
    double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double crcSeconds = BestOf(kRounds, compare);
    const double crcCpu = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / kRounds;
    const auto rhash = runTool(inRoot + "rhash --check --sfv '" + sfv.string() + "' >/dev/null");
    rhash();  // the same warm cache for rhash
    const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
    const double rhashSeconds = BestOf(kRounds, rhash);
    const double rhashCpu = (CpuSeconds(RUSAGE_CHILDREN) - childrenBefore) / kRounds;
    std::printf("compare: qmverify=%.3f rhash=%.3f files=%zu\n", crcSeconds, rhashSeconds,
                files.size());
    std::printf("cpu: qmverify=%.3f rhash=%.3f\n", crcCpu, rhashCpu);

    // The list as a build writes it now: a SHA-256 per entry.
    useList(withDigests);
    if (!compare()) {
        std::fprintf(stderr, "bench_compare: the digest compare did not find all identical\n");
        return 2;
    }
    cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double digestSeconds = BestOf(kRounds, compare);
    const double digestCpu = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / kRounds;
    const auto sha256sum = runTool(inRoot + "sha256sum --quiet -c '" + sums.string() + "'");
    sha256sum();
    const double sha256sumSeconds = BestOf(kRounds, sha256sum);
    std::printf("digest: qmverify=%.3f crconly=%.3f sha256sum=%.3f files=%zu bytes=%llu\n",
                digestSeconds, crcSeconds, sha256sumSeconds, files.size(),
                static_cast<unsigned long long>(bytes));
    std::fflush(stdout);

    // From a cold cache, where this process may empty it.
    if (DropPageCache()) {
        // The drop itself is not timed: each round empties the cache first.
        double qmverifyCold = 1e30;
        for (int round = 0; round < kColdRounds; ++round) {
            DropPageCache();
            qmverifyCold = std::min(qmverifyCold, BestOf(1, compare));
        }
        double floor = 1e30;
        for (int readers : {1, 2, 4}) {
            for (int round = 0; round < kColdRounds; ++round) {
                DropPageCache();
                floor =
                    std::min(floor, BestOf(1, [&] { return ReadAllFiles(root, files, readers); }));
            }
        }
        std::printf("cold: qmverify=%.3f floor=%.3f\n", qmverifyCold, floor);
    }
    const double processors = std::max(1u, std::thread::hardware_concurrency());
    const Rate openssl = OpenSslSha256Rate();
    const double floorSeconds = bytes / (openssl.elapsed * processors);
    const double floorCpu = bytes / openssl.processor;
    std::printf("goal: digest=%.3f floor=%.3f ratio=%.2f cpu=%.2f sha256sum=%.1f\n", digestSeconds,
                floorSeconds, digestSeconds / floorSeconds, digestCpu / floorCpu,
                sha256sumSeconds / digestSeconds);
    if (argc <= 1) fs::remove_all(work);
    return rhashSeconds < 0 || sha256sumSeconds < 0 ? 2 : 0;
}
