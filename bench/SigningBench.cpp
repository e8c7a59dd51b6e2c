// What the signed release list costs: checking the signature of a list of
// 2 x 9,998 entries (the most a list holds), beside loading that list, and
// the update password's check (PBKDF2-HMAC-SHA-256 over 600,000 iterations)
// in our engine beside the system's own PBKDF2 (OpenSSL's natively, CNG's
// under Wine). Built natively and for Windows (scripts/bench-signing runs
// both); the last line reads
//   signing: verify=<ms> checks=<ms> load=<ms> password=<ms> ours=<ms> system=<ms> entries=<n>
// in milliseconds on the clock, each the best of a few runs; the line before
// gives the same in processor time, which other work on the machine does
// not inflate.
#ifdef _WIN32
#include <windows.h>

#include <bcrypt.h>
#else
#include <openssl/evp.h>

#include <ctime>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/ReleaseListCheck.h"
#include "core/ReleaseListFormat.h"
#include "core/Settings.h"
#include "core/Sha256.h"
#include "core/UpdatePassword.h"
#include "platform/Platform.h"

namespace {

// The processor time of this thread, in milliseconds: what a run costs
// whatever else the machine does meanwhile.
double ThreadMilliseconds() {
#ifdef _WIN32
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
#else
    struct timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
#endif
}

// The fewest milliseconds that `work` took in `rounds` runs, on the clock
// and in processor time.
struct Timing {
    double wall = 1e30;
    double processor = 1e30;
};
Timing Best(int rounds, const std::function<void()>& work) {
    Timing best;
    for (int i = 0; i < rounds; ++i) {
        const double startProcessor = ThreadMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, took.count());
        best.processor = std::min(best.processor, ThreadMilliseconds() - startProcessor);
    }
    return best;
}

// A list as a build writes it, both sections full.
std::string FullList() {
    std::string text;
    for (const char* section : {"qmw", "db1"}) {
        text += std::string("[") + section + "]\r\n";
        for (int n = 1; n <= qm::kLastReadableEntry; ++n) {
            const std::string k = std::to_string(n);
            text += "File" + k + "=program" + k + ".dll\r\nDate" + k + "=07.12.2026 11:45\r\nCRC" +
                    k + "=" + std::to_string(n * 7919) + "\r\nUpdated" + k + "=0\r\nComment" + k +
                    "=\r\nSHA256" + k + "=" + qm::Sha256Hex(qm::Sha256(k)) + "\r\n";
        }
    }
    return text;
}

// The system's own PBKDF2 over the same password, salt and iterations.
void SystemPbkdf2(const std::string& password, const std::string& salt, uint32_t iterations) {
    unsigned char derived[32];
#ifdef _WIN32
    BCRYPT_ALG_HANDLE hmac = nullptr;
    BCryptOpenAlgorithmProvider(&hmac, BCRYPT_SHA256_ALGORITHM, nullptr,
                                BCRYPT_ALG_HANDLE_HMAC_FLAG);
    BCryptDeriveKeyPBKDF2(hmac, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                          static_cast<ULONG>(password.size()),
                          reinterpret_cast<PUCHAR>(const_cast<char*>(salt.data())),
                          static_cast<ULONG>(salt.size()), iterations, derived, sizeof derived, 0);
    BCryptCloseAlgorithmProvider(hmac, 0);
#else
    PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                      reinterpret_cast<const unsigned char*>(salt.data()),
                      static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                      sizeof derived, derived);
#endif
}

}  // namespace

int main() {
    std::string publicKey;
    std::string privateKey;
    if (!qm::Platform().NewSigningKey(publicKey, privateKey)) {
        std::fprintf(stderr, "no signing key\n");
        return 1;
    }
    const std::string text = FullList();
    qm::CIniFile list;
    list.LoadText(text);
    qm::SignReleaseList(list, privateKey, publicKey, 1);
    const std::string signedText = list.Text();
    const qm::SitePin pin{true, publicKey, 0};
    qm::ListSignature checked;
    const Timing load = Best(5, [&] { list.LoadText(signedText); });
    const Timing verify = Best(5, [&] { checked = qm::CheckListSignature(&list, pin); });
    // The list's other checks of each comparison (stray and unreached keys).
    const Timing checks = Best(5, [&] { qm::CheckReleaseList(list); });
    if (checked.state != qm::SignatureState::Valid) {
        std::fprintf(stderr, "the list's signature does not hold\n");
        return 1;
    }

    // The check as the command line runs it: no settings file, so the
    // built-in digest.
    const std::filesystem::path empty =
        std::filesystem::temp_directory_path() / "qmverify-bench-signing";
    std::filesystem::create_directories(empty);
    qm::SetPlatformRoots({empty.string(), empty.string()});
    const Timing password = Best(3, [] { qm::IsUpdatePassword("tallowin"); });
    qm::SetPlatformRoots({});
    std::filesystem::remove_all(empty);
    const std::string salt(16, '\x5a');
    const Timing ours =
        Best(3, [&] { qm::Pbkdf2Sha256("tallowin", salt, qm::kPasswordIterations); });
    const Timing system = Best(3, [&] { SystemPbkdf2("tallowin", salt, qm::kPasswordIterations); });
    std::printf(
        "in processor time: verify=%.1f checks=%.1f load=%.1f password=%.0f ours=%.0f "
        "system=%.0f\n",
        verify.processor, checks.processor, load.processor, password.processor, ours.processor,
        system.processor);
    std::printf(
        "signing: verify=%.1f checks=%.1f load=%.1f password=%.0f ours=%.0f system=%.0f "
        "entries=%d\n",
        verify.wall, checks.wall, load.wall, password.wall, ours.wall, system.wall,
        checked.entries);
    return 0;
}
