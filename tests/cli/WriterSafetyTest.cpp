// What no second writer, kill, refusal or full disk may do to the release
// list: lose a CRC the build wrote, leave a half list or a half backup, or
// fail without saying why. Separate qmverify-cli processes race and get
// killed here. QMVERIFY_SAFETY_ROUNDS sets the rounds (3 by default; 100 to
// prove it).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CliFixture.h"

#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace {

using namespace cli_test;

int Rounds() {
    const char* text = std::getenv("QMVERIFY_SAFETY_ROUNDS");
    const int rounds = text ? std::atoi(text) : 0;
    return rounds > 0 ? rounds : 3;
}

// The value of `key` in section `section` of a list's text; "" if none.
std::string Value(const std::string& list, const std::string& section, const std::string& key) {
    const size_t start = list.find("[" + section + "]\r\n");
    if (start == std::string::npos) return std::string();
    const size_t end = list.find("\r\n[", start + 1);
    const std::string part = list.substr(start, end == std::string::npos ? end : end - start);
    const size_t at = part.find("\r\n" + key + "=");
    if (at == std::string::npos) return std::string();
    const size_t value = at + key.size() + 3;
    return part.substr(value, part.find("\r\n", value) - value);
}

class WriterSafetyTest : public CliTest {
protected:
    // \qmw holds many files, so that a build takes a while: tool.exe and
    // `count` more.
    void MakeFiles(int count) {
        for (int i = 0; i < count; ++i) {
            WriteFile(Root() / "qmw" / ("file" + std::to_string(i) + ".dll"),
                      std::string(512 + i, static_cast<char>('a' + i % 26)));
        }
    }
    // The CRC that the list records for tool.exe (entry 1: *.exe comes first).
    std::string ToolCrc() const {
        const std::string list = ReadFile(ReleaseList());
        EXPECT_EQ(Value(list, "qmw", "File1"), "tool.exe");
        return Value(list, "qmw", "CRC1");
    }
};

TEST_F(WriterSafetyTest, CommentsWrittenDuringABuildNeverBringBackTheOldList) {
    MakeFiles(1500);
    Build();
    for (int round = 0; round < Rounds(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ToolCrc();
        WriteFile(Root() / "qmw" / "tool.exe", "changed in round " + std::to_string(round));

        // Two streams of comment writers, each one process after the other,
        // for as long as a build runs in another process.
        std::atomic<bool> building{true};
        std::vector<CliRun> comments[2];
        std::vector<std::thread> writers;
        for (int stream = 0; stream < 2; ++stream) {
            writers.emplace_back([&, stream] {
                for (int k = 0; building || k < 2; ++k) {
                    comments[stream].push_back(
                        Cli({"comment", "qmw", "1", "note " + std::to_string(k)}));
                }
            });
        }
        const CliRun build = Cli({"build", "--password-stdin"}, Password());
        building = false;
        for (std::thread& writer : writers) writer.join();

        ASSERT_EQ(build.status, 0) << build.err;
        const std::string after = ToolCrc();
        EXPECT_NE(after, before) << "a comment writer saved the list of before the build";
        // The build's CRC is the file's CRC now: a comparison finds it identical.
        EXPECT_EQ(Cli({"compare"}).status, 0);
        for (const auto& stream : comments) {
            for (const CliRun& comment : stream) {
                // Each writer either wrote, or was told why not (the list
                // was rebuilt under it, or another writer held it too long).
                EXPECT_TRUE(comment.status == 0 || comment.status == 2) << comment.err;
                if (comment.status == 2) {
                    EXPECT_TRUE(comment.err.find("no longer names") != std::string::npos ||
                                comment.err.find("another program") != std::string::npos)
                        << comment.err;
                }
            }
        }
    }
}

TEST_F(WriterSafetyTest, ABuildKilledAtAnyMomentLeavesTheOldListOrTheNewOneAndWholeBackups) {
    MakeFiles(300);
    Build();
    std::set<std::string> lists = {ReadFile(ReleaseList())};  // every whole list so far

    // How long a build takes here, to kill inside that time.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Cli({"build", "--password-stdin"}, Password()).status, 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    const std::string whole = ReadFile(ReleaseList());
    lists.insert(whole);
    const auto lineCount = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    std::mt19937 random(20261208);
    for (int round = 0; round < Rounds(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        WriteFile(Root() / "qmw" / "tool.exe", "round " + std::to_string(round));
        const std::string old = ReadFile(ReleaseList());
        {
            CliProcess build({"--windir", WindowsDirectory().string(), "--root", Root().string(),
                              "build", "--password-stdin"},
                             Password());
            std::this_thread::sleep_for(std::chrono::milliseconds(
                std::uniform_int_distribution<long long>(0, took + took / 4)(random)));
            build.Kill();
        }
        const std::string now = ReadFile(ReleaseList());
        if (now != old) {
            // A new list is whole: as many lines as every build writes here,
            // the last one ended.
            EXPECT_EQ(lineCount(now), lineCount(whole));
            EXPECT_EQ(now.substr(now.size() - 2), "\r\n");
        }
        lists.insert(now);
        // Every backup is one of the whole lists there ever were.
        for (const auto& entry : fs::directory_iterator(WindowsDirectory())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("qmverify.l", 0) == 0 && name != "qmverify.lst" &&
                name != "qmverify.lck") {
                EXPECT_EQ(lists.count(ReadFile(entry.path())), 1u) << name;
            }
        }
    }
}

#ifndef _WIN32
// A folder mounted for the test (a read-only bind, a tiny tmpfs), unmounted
// when the test ends; the test is skipped where mounting is not allowed.
class ScopedMount {
public:
    ScopedMount(const fs::path& where, const char* type, const char* source, unsigned long flags,
                const char* options)
        : m_where(where) {
        m_mounted = mount(source, where.c_str(), type, flags, options) == 0 &&
                    (!(flags & MS_BIND) || mount(nullptr, where.c_str(), nullptr,
                                                 MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0);
    }
    ~ScopedMount() {
        if (m_mounted) umount2(m_where.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }

private:
    fs::path m_where;
    bool m_mounted = false;
};

TEST_F(WriterSafetyTest, AReadOnlyWindowsDirectoryIsToldAsMissingRightsAndComparesStillWork) {
    Build();
    const std::string list = ReadFile(ReleaseList());
    ScopedMount readOnly(WindowsDirectory(), nullptr, WindowsDirectory().c_str(), MS_BIND, nullptr);
    if (!readOnly.Mounted()) GTEST_SKIP() << "no bind mount here";

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"comment", "qmw", "1", "x"},
          std::vector<std::string>{"build", "--password-stdin"},
          std::vector<std::string>{"add", "tool.exe", "qmw", "--password-stdin"}}) {
        const CliRun run = Cli(args, Password());
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_NE(run.err.find("needs administrator rights"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Run as administrator"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFile(ReleaseList()), list);
    EXPECT_EQ(Cli({"compare"}).status, 0);
}

TEST_F(WriterSafetyTest, AFullDiskDuringABuildLeavesTheListAsItWasAndSaysSo) {
    MakeFiles(100);  // a new list of some 10 KB
    fs::create_directories(m_base / "small");
    ScopedMount small(m_base / "small", "tmpfs", "tmpfs", 0, "size=64k");
    if (!small.Mounted()) GTEST_SKIP() << "no tmpfs mount here";

    // The old list fits; a copy of it and the new one do not.
    const fs::path windows = m_base / "small";
    const std::string old =
        "[qmw]\r\nFile1=tool.exe\r\nCRC1=1\r\nComment1=" + std::string(20000, 'c') + "\r\n";
    WriteFile(windows / "qmverify.lst", old);
    WriteFile(windows / "filler", std::string(40000, 'f'));  // one page of 4 KB is left
    const CliRun run = RunCli(
        {"--windir", windows.string(), "--root", Root().string(), "build", "--password-stdin"},
        Password());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not enough space"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(windows / "qmverify.lst"), old);
    EXPECT_FALSE(fs::exists(windows / "qmverify.new"));
}
#endif

}  // namespace
