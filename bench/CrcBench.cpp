// Throughput of the CRC-32 engine against a plain read and two other ways of
// taking the checksum, on files made for the purpose in a temporary
// directory: one large file, and many small ones as an installation has.
//
// Every method reads the files the way the engine does, through the platform
// in pieces of 4096 bytes, so that the numbers differ only by the checksum
// work:
//   readonly   reading alone, the upper bound;
//   bytetable  one table look-up per byte, the classic loop;
//   zlib       zlib's crc32(), as a yardstick (linked into this program only);
//   engine     CCrc32::FileCrc32 with the kernel chosen for this processor.
// The page cache is warmed first; each figure is the best of several rounds,
// with the methods taking turns within a round so that a disturbance by
// other work on the machine falls on all of them alike.
//
// The last line is for scripts:
//   crc32: engine=<GB/s> bytetable=<GB/s> zlib=<GB/s> readonly=<GB/s>
// (the large file). Options: --big-mib N, --files N, --rounds N.
#include <stdlib.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/Crc32.h"
#include "core/Crc32Kernels.h"
#include "platform/Platform.h"

namespace {

using qm::CCrc32;

constexpr size_t kPieceSize = 4096;

struct Options {
    size_t bigMiB = 256;
    size_t smallFiles = 10000;
    size_t smallMin = 4 * 1024;
    size_t smallMax = 200 * 1024;
    int rounds = 5;
};

struct Workload {
    const char* name;
    std::vector<std::string> paths;
    uint64_t bytes = 0;
};

void WriteRandomFile(const std::string& path, size_t size, std::mt19937_64& random) {
    std::vector<uint64_t> chunk(1 << 17);  // 1 MiB
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    while (size > 0) {
        for (auto& word : chunk) word = random();
        const size_t part = std::min(size, chunk.size() * sizeof(uint64_t));
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(part));
        size -= part;
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Reads a file through the platform in pieces, as FileCrc32 does, and hands
// every piece to `consume`.
template <typename Consume>
void ReadInPieces(const std::string& path, Consume&& consume) {
    std::unique_ptr<qm::IReadFile> file;
    if (qm::Platform().OpenForReading(path, file) != qm::kErrorSuccess || !file) {
        throw std::runtime_error("cannot open " + path);
    }
    alignas(64) unsigned char piece[kPieceSize];
    for (;;) {
        size_t bytesRead = 0;
        if (!file->Read(piece, sizeof piece, bytesRead) || bytesRead == 0) break;
        consume(piece, bytesRead);
    }
}

// One way of taking a file's CRC; returns the CRC (or, for reading alone, a
// value that keeps the work from being optimised away).
struct Method {
    const char* name;
    std::function<uint32_t(const std::string&)> run;
    int rounds;  // the slow byte table gets fewer
};

std::vector<Method> MakeMethods(CCrc32& engine, const Options& options) {
    static uint32_t byteTable[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t x = i;
        for (int bit = 0; bit < 8; ++bit) x = (x & 1) ? (x >> 1) ^ 0xEDB88320u : x >> 1;
        byteTable[i] = x;
    }
    std::vector<Method> methods;
    methods.push_back({"readonly",
                       [](const std::string& path) {
                           uint32_t sink = 0;
                           ReadInPieces(path, [&](const unsigned char* data, size_t length) {
                               sink += data[length - 1] + static_cast<uint32_t>(length);
                           });
                           return sink;
                       },
                       options.rounds});
    methods.push_back({"bytetable",
                       [](const std::string& path) {
                           uint32_t crc = 0xFFFFFFFFu;
                           ReadInPieces(path, [&](const unsigned char* data, size_t length) {
                               for (size_t i = 0; i < length; ++i) {
                                   crc = byteTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
                               }
                           });
                           return ~crc;
                       },
                       std::min(options.rounds, 2)});
    methods.push_back({"zlib",
                       [](const std::string& path) {
                           uLong crc = crc32(0L, Z_NULL, 0);
                           ReadInPieces(path, [&](const unsigned char* data, size_t length) {
                               crc = crc32(crc, data, static_cast<uInt>(length));
                           });
                           return static_cast<uint32_t>(crc);
                       },
                       options.rounds});
    methods.push_back({"engine",
                       [&engine](const std::string& path) {
                           uint32_t crc = 0;
                           if (engine.FileCrc32(path, crc) != 0) {
                               throw std::runtime_error("engine cannot read " + path);
                           }
                           return crc;
                       },
                       options.rounds});
    return methods;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Best throughput of every method on one workload, in GB/s (10^9 bytes).
std::vector<double> Measure(const Workload& workload, const std::vector<Method>& methods,
                            int rounds) {
    std::vector<double> best(methods.size(), 0.0);
    std::vector<uint32_t> check(methods.size(), 0);
    for (int round = 0; round < rounds; ++round) {
        for (size_t m = 0; m < methods.size(); ++m) {
            if (round >= methods[m].rounds) continue;
            uint32_t combined = 0;
            const auto start = std::chrono::steady_clock::now();
            for (const std::string& path : workload.paths) {
                combined = combined * 31 + methods[m].run(path);
            }
            const double seconds = Seconds(std::chrono::steady_clock::now() - start);
            best[m] = std::max(best[m], static_cast<double>(workload.bytes) / seconds / 1e9);
            check[m] = combined;
        }
    }
    // The three checksums must agree file by file.
    for (size_t m = 2; m < methods.size(); ++m) {
        if (check[m] != check[1]) {
            std::fprintf(stderr, "bench_crc: %s disagrees with %s on %s\n", methods[m].name,
                         methods[1].name, workload.name);
            std::exit(1);
        }
    }
    return best;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (value <= 0) continue;
        if (std::strcmp(argv[i], "--big-mib") == 0) options.bigMiB = static_cast<size_t>(value);
        if (std::strcmp(argv[i], "--files") == 0) options.smallFiles = static_cast<size_t>(value);
        if (std::strcmp(argv[i], "--rounds") == 0) options.rounds = static_cast<int>(value);
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        bench::ScratchDirectory scratch("crcbench");
        std::mt19937_64 random(20261207);

        std::printf("bench_crc: making a %zu MiB file and %zu files of %zu to %zu KiB in %s\n",
                    options.bigMiB, options.smallFiles, options.smallMin / 1024,
                    options.smallMax / 1024, scratch.path().c_str());
        std::fflush(stdout);
        Workload big{"large file", {}, 0};
        big.paths.push_back((scratch.path() / "large.bin").string());
        big.bytes = static_cast<uint64_t>(options.bigMiB) << 20;
        WriteRandomFile(big.paths[0], static_cast<size_t>(big.bytes), random);

        Workload small{"small files", {}, 0};
        std::uniform_int_distribution<size_t> sizes(options.smallMin, options.smallMax);
        std::filesystem::create_directory(scratch.path() / "small");
        for (size_t i = 0; i < options.smallFiles; ++i) {
            const size_t size = sizes(random);
            const std::string path =
                (scratch.path() / "small" / ("f" + std::to_string(i) + ".bin")).string();
            WriteRandomFile(path, size, random);
            small.paths.push_back(path);
            small.bytes += size;
        }

        CCrc32 engine;
        engine.BuildTable();
        const std::vector<Method> methods = MakeMethods(engine, options);

        // Warm the page cache (and the engine's first choice of kernel).
        for (const Workload* workload : {&big, &small}) {
            for (const std::string& path : workload->paths) methods.front().run(path);
        }

        std::printf("kernel: %s; reads of %zu bytes; best of %d rounds (bytetable %d)\n",
                    qm::crc32::KernelName(qm::crc32::BestKernel()), kPieceSize, options.rounds,
                    methods[1].rounds);
        std::printf("%-34s %9s %9s %9s %9s   (GB/s)\n", "workload", "readonly", "bytetable", "zlib",
                    "engine");
        std::vector<double> bigResult;
        for (const Workload* workload : {&big, &small}) {
            const std::vector<double> r = Measure(*workload, methods, options.rounds);
            char label[64];
            std::snprintf(label, sizeof label, "%s (%zu, %.0f MB)", workload->name,
                          workload->paths.size(), static_cast<double>(workload->bytes) / 1e6);
            std::printf("%-34s %9.2f %9.2f %9.2f %9.2f   engine = %.2f x readonly, %.2f x zlib\n",
                        label, r[0], r[1], r[2], r[3], r[3] / r[0], r[3] / r[2]);
            std::fflush(stdout);
            if (workload == &big) bigResult = r;
        }
        std::printf("crc32: engine=%.2f bytetable=%.2f zlib=%.2f readonly=%.2f\n", bigResult[3],
                    bigResult[1], bigResult[2], bigResult[0]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_crc: %s\n", e.what());
        return 1;
    }
}
