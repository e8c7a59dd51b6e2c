// compare --metrics-file: a collector finds the file of the last run or of
// this one, whole, however the run ends; a killed writer's leftovers go with
// the next run; a file that cannot be written is told, and the one before
// stays. On Linux, --event-log writes the lines of the stand-in's event log.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CliFixture.h"

namespace {

using namespace cli_test;

class MetricsFileTest : public CliTest {
protected:
    fs::path Metrics() const { return m_base / "qmverify.prom"; }

    CliRun CompareInto(const fs::path& path, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"compare", "--unlisted", "--metrics-file", path.string()};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }

    // The names in the folder of the metrics file.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_base)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("qmverify.prom", 0) == 0) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(MetricsFileTest, AKillAtAnyMomentLeavesTheLastFileOrTheNewOneWhole) {
    for (int i = 0; i < 300; ++i) {
        WriteFile(Root() / "qmw" / ("file" + std::to_string(i) + ".dll"),
                  std::string(2048 + i, 'm'));
    }
    Build();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(CompareInto(Metrics()).status, 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    const std::string whole = ReadFile(Metrics());
    const auto lineCount = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    std::mt19937 random(20261209);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        {
            CliProcess compare({"--windir", WindowsDirectory().string(), "--root", Root().string(),
                                "compare", "--unlisted", "--metrics-file", Metrics().string()});
            // Mostly the end of the run, where the file is written.
            std::this_thread::sleep_for(std::chrono::milliseconds(
                std::uniform_int_distribution<long long>(took / 2, took + took / 4)(random)));
            compare.Kill();
        }
        const std::string now = ReadFile(Metrics());
        EXPECT_EQ(lineCount(now), lineCount(whole));
        ASSERT_GE(now.size(), 6u);
        EXPECT_EQ(now.substr(now.size() - 6), "# EOF\n");
    }
    // The next run clears what the killed ones left.
    ASSERT_EQ(CompareInto(Metrics()).status, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"qmverify.prom", "qmverify.prom.lck"}));
}

TEST_F(MetricsFileTest, TheFileComesBesideTheOutputAndLeftoversGo) {
    Build();
    WriteFile(m_base / "qmverify.prom.tmp", "# HELP half");
    WriteFile(m_base / "qmverify.prom.tmp2", "killed");
    const CliRun run = CompareInto(Metrics(), {"--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Filename,Status", 0), 0u) << run.out;  // the format as asked
    const std::string metrics = ReadFile(Metrics());
    EXPECT_NE(metrics.find("qmverify_unlisted_files{section=\"qmw\"} 0\n"), std::string::npos);
    EXPECT_NE(metrics.find("qmverify_release_list_info{sha256=\""), std::string::npos);
    EXPECT_EQ(Names(), (std::vector<std::string>{"qmverify.prom", "qmverify.prom.lck"}));
}

TEST_F(MetricsFileTest, AFileThatCannotBeWrittenIsToldAndTheLastOneStays) {
    Build();
    const fs::path nowhere = m_base / "missing" / "qmverify.prom";
    CliRun run = CompareInto(nowhere);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the metrics file"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("qmverify.prom could not be written"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(m_base / "missing"));

    // A list that cannot be read gives nothing to write: the last file stays.
    ASSERT_EQ(CompareInto(Metrics()).status, 0);
    const std::string last = ReadFile(Metrics());
    fs::remove(ReleaseList());
    fs::create_directory(ReleaseList());
    run = CompareInto(Metrics());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadFile(Metrics()), last);
}

#ifndef _WIN32
TEST_F(MetricsFileTest, TheStandInsEventLogHasALineForEachEvent) {
    Build();
    WriteFile(Root() / "qmw" / "tool.exe", "987654321");
    const std::string log = (m_base / "events.txt").string();
    CliRun run = Cli({"compare", "--event-log"}, "", {{"QMVERIFY_EVENT_LOG", log}});
    EXPECT_EQ(run.status, 1) << run.err;
    std::vector<std::string> lines = Lines(ReadFile(log));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("warning 1001\t3\t2\t1\t0\tnot looked for\t0\t1\t", 0), 0u)
        << lines[0];
    EXPECT_EQ(
        lines[1].rfind("warning 1100\t\\qmw.\\tool.exe\tqmw\t1\tcontent changed\tunsigned\t", 0),
        0u)
        << lines[1];

    // No comparison at all is an error event too.
    fs::remove(ReleaseList());
    fs::create_directory(ReleaseList());
    run = Cli({"compare", "--event-log"}, "", {{"QMVERIFY_EVENT_LOG", log}});
    EXPECT_EQ(run.status, 2);
    lines = Lines(ReadFile(log));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].rfind("error 1003\tcannot read the release list ", 0), 0u) << lines[2];

    // An event log that cannot be written is an error.
    run = Cli({"compare", "--event-log"}, "",
              {{"QMVERIFY_EVENT_LOG", (m_base / "missing" / "events.txt").string()}});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("could not be written to the Application log"), std::string::npos)
        << run.err;
}
#endif

}  // namespace
