// Throughput of the SHA-256 engine, kernel by kernel, next to OpenSSL's EVP
// SHA-256 (linked into this program only) and a plain read, on 256 MiB of
// random bytes:
//   memory  the buffer in memory, in one call;
//   file    the same bytes read from a file through the platform in pieces
//           of 64 KiB, as a fingerprint reads a program file.
// The page cache is warmed first; each figure is the best of several rounds,
// with the methods taking turns within a round so that a disturbance by
// other work on the machine falls on all of them alike. Beside the elapsed
// time, the table shows the figures by processor time, which time shared
// with other programs does not lower.
//
// Then two streams side by side (CSha256::UpdateBoth, each half of the
// buffer one stream), in memory.
//
// The last line is for scripts (the file, elapsed, in GB/s of 10^9 bytes):
//   sha256: engine=<GB/s> portable=<GB/s> openssl=<GB/s> pair=<GB/s>
// where engine is the kernel CSha256 chooses on this processor and pair its
// two streams side by side (in memory). Options: --mib N, --rounds N.
#include <openssl/evp.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/Sha256.h"
#include "core/Sha256Kernels.h"
#include "platform/Platform.h"

namespace {

using qm::Sha256Digest;
namespace sha256 = qm::sha256;

constexpr size_t kPieceSize = 64 * 1024;

struct Options {
    size_t mib = 256;
    int rounds = 5;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (value <= 0) continue;
        if (std::strcmp(argv[i], "--mib") == 0) options.mib = static_cast<size_t>(value);
        if (std::strcmp(argv[i], "--rounds") == 0) options.rounds = static_cast<int>(value);
    }
    return options;
}

// Reads a file through the platform in pieces and hands every piece to
// `consume`.
template <typename Consume>
void ReadInPieces(const std::string& path, Consume&& consume) {
    std::unique_ptr<qm::IReadFile> file;
    if (qm::Platform().OpenForReading(path, file) != qm::kErrorSuccess || !file) {
        throw std::runtime_error("cannot open " + path);
    }
    static std::vector<unsigned char> piece(kPieceSize);
    for (;;) {
        size_t bytesRead = 0;
        if (!file->Read(piece.data(), piece.size(), bytesRead) || bytesRead == 0) break;
        consume(piece.data(), bytesRead);
    }
}

// A way of taking the digest: Begin, any number of Add, End.
class IHasher {
public:
    virtual ~IHasher() = default;
    virtual void Begin() = 0;
    virtual void Add(const unsigned char* data, size_t length) = 0;
    virtual Sha256Digest End() = 0;
};

// CSha256 with one kernel.
class CEngineHasher : public IHasher {
public:
    explicit CEngineHasher(sha256::Kernel kernel) : m_kernel(kernel) {}
    void Begin() override { m_hash = std::make_unique<qm::CSha256>(m_kernel); }
    void Add(const unsigned char* data, size_t length) override { m_hash->Update(data, length); }
    Sha256Digest End() override { return m_hash->Finish(); }

private:
    sha256::Kernel m_kernel;
    std::unique_ptr<qm::CSha256> m_hash;
};

class COpenSslHasher : public IHasher {
public:
    COpenSslHasher() : m_context(EVP_MD_CTX_new()) {
        if (!m_context) throw std::runtime_error("EVP_MD_CTX_new failed");
    }
    ~COpenSslHasher() override { EVP_MD_CTX_free(m_context); }
    COpenSslHasher(const COpenSslHasher&) = delete;
    COpenSslHasher& operator=(const COpenSslHasher&) = delete;
    void Begin() override {
        if (EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr) != 1) {
            throw std::runtime_error("EVP_DigestInit_ex failed");
        }
    }
    void Add(const unsigned char* data, size_t length) override {
        EVP_DigestUpdate(m_context, data, length);
    }
    Sha256Digest End() override {
        Sha256Digest digest{};
        unsigned int size = 0;
        EVP_DigestFinal_ex(m_context, digest.data(), &size);
        return digest;
    }

private:
    EVP_MD_CTX* m_context;
};

// Reading alone: the upper bound of the file workload.
class CReadOnly : public IHasher {
public:
    void Begin() override { m_sink = 0; }
    void Add(const unsigned char* data, size_t length) override {
        m_sink += data[length - 1] + static_cast<unsigned>(length);
    }
    Sha256Digest End() override { return Sha256Digest{static_cast<uint8_t>(m_sink)}; }

private:
    unsigned m_sink = 0;
};

struct Method {
    std::string name;
    std::unique_ptr<IHasher> hasher;
    bool isDigest;  // false for reading alone, whose result is no digest
};

std::vector<Method> MakeMethods() {
    std::vector<Method> methods;
    for (sha256::Kernel kernel : sha256::kAllKernels) {
        if (!sha256::IsAvailable(kernel)) continue;
        methods.push_back(
            {sha256::KernelName(kernel), std::make_unique<CEngineHasher>(kernel), true});
    }
    methods.push_back({"openssl", std::make_unique<COpenSslHasher>(), true});
    methods.push_back({"readonly", std::make_unique<CReadOnly>(), false});
    return methods;
}

struct Workload {
    const char* name;
    std::function<void(IHasher&)> feed;
    bool readsFile;
};

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Figures {
    std::vector<double> elapsed;    // GB/s by the clock on the wall
    std::vector<double> processor;  // GB/s by this process's processor time
};

// Best throughput of every method on one workload; exits when two digests
// differ.
Figures Measure(const Workload& workload, std::vector<Method>& methods, size_t bytes, int rounds) {
    Figures best{std::vector<double>(methods.size(), 0.0),
                 std::vector<double>(methods.size(), 0.0)};
    std::vector<Sha256Digest> digests(methods.size());
    const auto rate = [bytes](double seconds) {
        return static_cast<double>(bytes) / std::max(seconds, 1e-9) / 1e9;
    };
    for (int round = 0; round < rounds; ++round) {
        for (size_t m = 0; m < methods.size(); ++m) {
            if (!workload.readsFile && !methods[m].isDigest) continue;
            IHasher& hasher = *methods[m].hasher;
            const std::clock_t processorStart = std::clock();
            const auto start = std::chrono::steady_clock::now();
            hasher.Begin();
            workload.feed(hasher);
            digests[m] = hasher.End();
            const double seconds = Seconds(std::chrono::steady_clock::now() - start);
            const double processorSeconds =
                static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
            best.elapsed[m] = std::max(best.elapsed[m], rate(seconds));
            best.processor[m] = std::max(best.processor[m], rate(processorSeconds));
        }
    }
    for (size_t m = 1; m < methods.size(); ++m) {
        if (methods[m].isDigest && digests[m] != digests[0]) {
            std::fprintf(stderr, "bench_sha256: %s disagrees with %s on %s\n",
                         methods[m].name.c_str(), methods[0].name.c_str(), workload.name);
            std::exit(1);
        }
    }
    return best;
}

// Both halves of the buffer side by side in the engine's kernel, best of
// `rounds`, in GB/s of the whole buffer.
double PairRate(const unsigned char* buffer, size_t bytes, int rounds) {
    const size_t half = bytes / 2;
    const double seconds = bench::BestOf(rounds, [&] {
        qm::CSha256 a;
        qm::CSha256 b;
        qm::CSha256::UpdateBoth(a, buffer, half, b, buffer + half, half);
        return a.Finish() != b.Finish() || half == 0;
    });
    return seconds > 0 ? static_cast<double>(2 * half) / seconds / 1e9 : 0;
}

double FigureOf(const std::vector<Method>& methods, const std::vector<double>& figures,
                const std::string& name) {
    for (size_t m = 0; m < methods.size(); ++m) {
        if (methods[m].name == name) return figures[m];
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        const size_t bytes = options.mib << 20;
        bench::ScratchDirectory scratch("shabench");
        std::printf("bench_sha256: %zu MiB in memory and in a file in %s\n", options.mib,
                    scratch.path().c_str());
        std::fflush(stdout);

        std::vector<uint64_t> words(bytes / sizeof(uint64_t));
        std::mt19937_64 random(20261208);
        for (uint64_t& word : words) word = random();
        const auto* buffer = reinterpret_cast<const unsigned char*>(words.data());
        const std::string path = (scratch.path() / "large.bin").string();
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(buffer), static_cast<std::streamsize>(bytes));
            if (!out) throw std::runtime_error("cannot write " + path);
        }

        const sha256::Kernel engine = sha256::BestKernel();
        std::vector<Method> methods = MakeMethods();
        const Workload memory{"memory", [&](IHasher& h) { h.Add(buffer, bytes); }, false};
        const Workload file{"file",
                            [&](IHasher& h) {
                                ReadInPieces(path, [&](const unsigned char* data, size_t length) {
                                    h.Add(data, length);
                                });
                            },
                            true};
        // Warm the page cache.
        methods.back().hasher->Begin();
        file.feed(*methods.back().hasher);

        std::printf("engine kernel: %s; file read in pieces of %zu KiB; best of %d rounds\n",
                    sha256::KernelName(engine), kPieceSize / 1024, options.rounds);
        std::printf("%-18s", "");
        for (const Method& method : methods) std::printf(" %9s", method.name.c_str());
        std::printf("   (GB/s)\n");
        std::vector<double> fileFigures;
        for (const Workload* workload : {&memory, &file}) {
            const Figures figures = Measure(*workload, methods, bytes, options.rounds);
            for (bool byProcessor : {false, true}) {
                const std::vector<double>& row = byProcessor ? figures.processor : figures.elapsed;
                std::printf("%-8s %-9s", workload->name, byProcessor ? "processor" : "elapsed");
                for (size_t m = 0; m < methods.size(); ++m) {
                    if (workload->readsFile || methods[m].isDigest) {
                        std::printf(" %9.3f", row[m]);
                    } else {
                        std::printf(" %9s", "-");
                    }
                }
                std::printf("\n");
            }
            std::fflush(stdout);
            if (workload->readsFile) fileFigures = figures.elapsed;
        }
        const double pair = PairRate(buffer, bytes, options.rounds);
        std::printf("memory   pair      %9.3f   (two streams side by side, %s)\n", pair,
                    sha256::KernelName(engine));
        std::printf("sha256: engine=%.2f portable=%.2f openssl=%.2f pair=%.2f\n",
                    FigureOf(methods, fileFigures, sha256::KernelName(engine)),
                    FigureOf(methods, fileFigures, sha256::KernelName(sha256::Kernel::Portable)),
                    FigureOf(methods, fileFigures, "openssl"), pair);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_sha256: %s\n", e.what());
        return 1;
    }
}
