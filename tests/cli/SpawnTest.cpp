// The tests' own starter: a program that could not be started is told by
// its cause, never taken for one that ran and ended with -1.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "Spawn.h"

namespace {

TEST(Spawn, AStartThatFailsSaysWhyAndIsNoExitStatus) {
    SpawnOptions missing;
#ifdef _WIN32
    missing.program = "C:\\no such folder\\qmverify-cli.exe";
#else
    missing.program = "/no such folder/qmverify-cli";
#endif
    const auto start = std::chrono::steady_clock::now();
    CliRun run = RunCli({"--version"}, missing);
    EXPECT_FALSE(run.started);
    EXPECT_EQ(run.status, -1);
    EXPECT_NE(run.err.find("(not started)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("failed on 1 try:"), std::string::npos) << run.err;  // a lasting cause
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    CliProcess process({"--version"}, std::string());
    process.Kill();  // perhaps after it ended: either way it ran
    run = process.Wait();
    EXPECT_TRUE(run.started) << run.err;
}

}  // namespace
