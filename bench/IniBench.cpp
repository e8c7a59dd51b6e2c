// How long writing a build-sized release list takes: 20,000 entries of five
// keys in one batch with the profile engine (load once, write every key, save
// once), next to rewriting the whole file for every key, as the Windows
// profile function WritePrivateProfileStringA does. The per-key way is timed
// on 2,000 entries and grows with the square of the count, so its time for
// 20,000 entries is extrapolated (x100), not measured.
//
//   bench_ini [WORKDIR]
// prints "ini: batch20000=<s> perkey2000=<s> perkey20000~<s> (quadratic extrapolation)".
#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "core/IniFile.h"

namespace fs = std::filesystem;
using bench::BestOf;

namespace {

constexpr int kBatchEntries = 20000;
constexpr int kPerKeyEntries = 2000;
constexpr int kRounds = 3;

// The five keys of entry n as a build writes them; half the entries go to
// each section, "qmw" first.
template <typename WriteKey>
void WriteBuild(int entries, WriteKey writeKey) {
    for (int n = 1; n <= entries; ++n) {
        const bool first = n <= entries / 2;
        const char* section = first ? "qmw" : "db1";
        const std::string number = std::to_string(first ? n : n - entries / 2);
        char crc[16];
        std::snprintf(crc, sizeof crc, "%x", static_cast<unsigned>(n) * 2654435761u);
        writeKey(section, "File" + number, "program" + std::to_string(n) + ".exe");
        writeKey(section, "Date" + number, std::string("07.12.2026 11:45"));
        writeKey(section, "CRC" + number, std::string(crc));
        writeKey(section, "Updated" + number, std::string("0"));
        writeKey(section, "Comment" + number, std::string());
    }
}

bool Batch(const std::string& path) {
    fs::remove(path);
    qm::CIniFile list;
    if (!list.Load(path)) return false;
    WriteBuild(kBatchEntries,
               [&](const char* section, const std::string& key, const std::string& value) {
                   list.WriteText(section, key, value);
               });
    return list.Save();
}

bool PerKey(const std::string& path) {
    fs::remove(path);
    bool saved = true;
    WriteBuild(kPerKeyEntries,
               [&](const char* section, const std::string& key, const std::string& value) {
                   qm::CIniFile list;
                   saved = saved && list.Load(path);
                   list.WriteText(section, key, value);
                   saved = saved && list.Save();
               });
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qmverify-bench-ini";
    fs::create_directories(work);
    const std::string path = (work / "qmverify.lst").string();

    const double batch = BestOf(kRounds, [&] { return Batch(path); });
    const double perKey = BestOf(1, [&] { return PerKey(path); });
    fs::remove_all(work);
    if (batch < 0 || perKey < 0) {
        std::fprintf(stderr, "bench_ini: could not write %s\n", path.c_str());
        return 1;
    }
    const double scale = static_cast<double>(kBatchEntries) / kPerKeyEntries;
    std::printf("ini: batch%d=%.3f perkey%d=%.3f perkey%d~%.1f (quadratic extrapolation)\n",
                kBatchEntries, batch, kPerKeyEntries, perKey, kBatchEntries,
                perKey * scale * scale);
    return 0;
}
