// The output of every format for one fixed installation, compared byte for
// byte with the files in tests/cli/golden/ (CSV with CRLF line ends, the
// others with LF): what a script reads does not change unnoticed. The
// installation holds an identical file, a changed one, a marked one, a
// missing one, a crafted one, an entry decided by its CRC-32 alone and a
// planted file, with comments that hold a comma, a quote, a byte beyond
// ASCII and a control character, and fixed dates.
//
// A change that is meant: the test leaves the output it got beside the test
// program (golden_<format>.actual); look at the difference, then copy it
// over the golden file.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "CrcForge.h"
#include "core/Fingerprint.h"
#include "core/Sha256.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

using namespace cli_test;

// A date as the command line shows it, dd.mm.yyyy hh:mm.
struct ShownDate {
    int year, month, day, hour, minute;
};
constexpr ShownDate kReleased{2026, 12, 8, 9, 33};
constexpr ShownDate kChanged{2026, 12, 9, 10, 15};
constexpr ShownDate kPlanted{2026, 12, 10, 8, 0};
constexpr char kReleasedText[] = "08.12.2026 09:33";

// Gives a file the last-write time that the command line shows as `date`:
// natively the command line runs with TZ=UTC; on Windows with the offset
// from UTC in force now, the one it converts with.
void SetShownDate(const fs::path& path, const ShownDate& date) {
#ifdef _WIN32
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(date.year);
    fields.wMonth = static_cast<WORD>(date.month);
    fields.wDay = static_cast<WORD>(date.day);
    fields.wHour = static_cast<WORD>(date.hour);
    fields.wMinute = static_cast<WORD>(date.minute);
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&fields, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    const HANDLE file = CreateFileW(path.wstring().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
    CloseHandle(file);
#else
    std::tm fields{};
    fields.tm_year = date.year - 1900;
    fields.tm_mon = date.month - 1;
    fields.tm_mday = date.day;
    fields.tm_hour = date.hour;
    fields.tm_min = date.minute;
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = timegm(&fields);
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
#endif
}

// The keys of one entry, as a build records them.
std::string Entry(int n, const std::string& name, const std::string& recorded, bool sha256,
                  bool updated, const std::string& comment) {
    const std::string k = std::to_string(n);
    std::string keys = "File" + k + "=" + name + "\r\nDate" + k + "=" + kReleasedText + "\r\nCRC" +
                       k + "=" + qm::CrcText(qm::test::CrcOf(recorded)) + "\r\nUpdated" + k + "=" +
                       (updated ? "1" : "0") + "\r\nComment" + k + "=" + comment + "\r\n";
    if (sha256) keys += "SHA256" + k + "=" + qm::Sha256Hex(qm::Sha256(recorded)) + "\r\n";
    return keys;
}

class GoldenOutput : public CliTest {
protected:
    void SetUp() override {
        std::string program(200, '\0');
        for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 37 + 11);
        WriteList("[qmw]\r\n" +
                  Entry(1, "tool.exe", "123456789", true, false, "checked, \"twice\"") +
                  Entry(2, "lib.dll", "abc", true, false, "caf\xe9 au lait") +
                  Entry(3, "patched.dll", "old", true, true, "hotfix \x1b[31m7") +
                  Entry(4, "gone.bat", "gone", true, false, "") +
                  Entry(5, "crafted.exe", program, true, false, "") + "[db1]\r\n" +
                  Entry(1, "store.dll", "store", false, false, "checked by CRC-32 alone"));
        Place("qmw/tool.exe", "123456789", kReleased);
        Place("qmw/lib.dll", "abd", kChanged);
        Place("qmw/patched.dll", "new", kChanged);
        Place("qmw/crafted.exe", qm::test::CraftedLike(program), kReleased);
        Place("qmw/extra.dll", "planted", kPlanted);
        Place("db1/store.dll", "store", kReleased);
    }

    void WriteList(const std::string& text) const { WriteFile(ReleaseList(), text); }

    void Place(const std::string& relative, const std::string& contents,
               const ShownDate& date) const {
        WriteFile(Root() / relative, contents);
        SetShownDate(Root() / relative, date);
    }

    CliRun Compare(const std::string& format) {
        return Cli({"compare", "--unlisted", "--format", format}, "", {{"TZ", "UTC"}});
    }

    // Compares with the golden file, line by line for a readable failure;
    // `masked` names lines whose value after the name may differ.
    void ExpectGolden(const std::string& name, const std::string& actual,
                      const std::vector<std::string>& masked = {}) const {
        const std::string golden = ReadFile(fs::path(QM_GOLDEN_DIR) / name);
        if (!golden.empty() && Masked(actual, masked) == Masked(golden, masked)) return;
        WriteFile("golden_" + name + ".actual", actual);
        ASSERT_FALSE(golden.empty()) << "no golden file " << name;
        const std::vector<std::string> want = Lines(Masked(golden, masked));
        const std::vector<std::string> got = Lines(Masked(actual, masked));
        for (size_t i = 0; i < want.size() || i < got.size(); ++i) {
            const std::string a = i < want.size() ? want[i] : "(none)";
            const std::string b = i < got.size() ? got[i] : "(none)";
            if (a != b) {
                ADD_FAILURE() << name << " line " << i + 1 << "\n  golden: " << a
                              << "\n  actual: " << b;
                return;
            }
        }
        ADD_FAILURE() << name << ": same lines, other line ends or bytes";
    }

    // The text with the value of each line that starts with a masked name
    // replaced by "*".
    static std::string Masked(const std::string& text, const std::vector<std::string>& names) {
        std::string out;
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find('\n', at);
            std::string line = text.substr(at, end == std::string::npos ? end : end + 1 - at);
            for (const std::string& name : names) {
                if (line.compare(0, name.size() + 1, name + " ") == 0) line = name + " *\n";
            }
            out += line;
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return out;
    }
};

// Every format tells on standard error that an entry is decided by its
// CRC-32 alone.
constexpr char kCrcOnlyNote[] =
    "qmverify-cli: note: 1 entry records no SHA-256 and was decided by the CRC-32 alone, which a "
    "changed file can keep; a build records a SHA-256 for every entry\n";

TEST_F(GoldenOutput, EveryFormatOfOneInstallationIsTheGoldenOneByteForByte) {
    for (const char* format : {"table", "tsv", "csv", "json"}) {
        SCOPED_TRACE(format);
        const CliRun run = Compare(format);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.err, kCrcOnlyNote);
        ExpectGolden(std::string(format) + ".txt", run.out);
    }
}

TEST_F(GoldenOutput, MetricsAreGoldenButForTheRunsTimeAndDuration) {
    const double before = static_cast<double>(std::time(nullptr));
    const CliRun run = Compare("openmetrics");
    const double after = static_cast<double>(std::time(nullptr));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, kCrcOnlyNote);
    ExpectGolden("openmetrics.txt", run.out,
                 {"qmverify_last_run_timestamp_seconds", "qmverify_last_run_duration_seconds"});
    // The two masked values are this run's.
    const auto valueOf = [&run](const std::string& name) {
        const size_t at = run.out.find("\n" + name + " ");
        return at == std::string::npos ? -1.0 : std::stod(run.out.substr(at + name.size() + 2));
    };
    const double start = valueOf("qmverify_last_run_timestamp_seconds");
    EXPECT_GE(start, before - 1);
    EXPECT_LE(start, after + 1);
    const double duration = valueOf("qmverify_last_run_duration_seconds");
    EXPECT_GE(duration, 0.0);
    EXPECT_LE(duration, after - before + 1);
}

}  // namespace
