// What qmverify-cli makes of standard input that holds no password line,
// of standard output that refuses the report, and how its messages name
// files and the system's reasons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliFixture.h"
#include "platform/Platform.h"

namespace {

using namespace cli_test;

struct InputCase {
    const char* what;
    SpawnOptions options;
    const char* message;
};

SpawnOptions InputText(const std::string& text) {
    SpawnOptions options;
    options.input = text;
    return options;
}

SpawnOptions InputFrom(const std::string& path) {
    SpawnOptions options;
    options.inputPath = path;
    return options;
}

// No usable first line is said as what it is, never as a wrong password,
// and the read ends at once however much the input holds.
TEST_F(CliTest, PasswordInputWithoutAUsableLineIsToldAsSuch) {
    SpawnOptions closed;
    closed.closedInput = true;
    const fs::path zeros = m_base / "zeros";
#ifdef _WIN32
    WriteFile(zeros, std::string(1 << 20, '\0'));  // Windows has no endless device
#else
    (void)zeros;
#endif
    const std::vector<InputCase> cases = {
        {"empty", InputText(""), "no password was given on standard input"},
        {"empty line", InputText("\r\n" + Password()), "no password was given on standard input"},
        {"closed", closed, "no password was given on standard input"},
        {"1025 bytes", InputText(std::string(1025, 'x') + "\n"),
         "the password on standard input is longer than 1024 bytes"},
#ifdef _WIN32
        {"zeros", InputFrom(zeros.string()),
         "the password on standard input is longer than 1024 bytes"},
#else
        {"/dev/zero", InputFrom("/dev/zero"),
         "the password on standard input is longer than 1024 bytes"},
#endif
        {"a directory", InputFrom(m_base.string()),
         "the password could not be read from standard input: it is a directory"},
    };
    for (const InputCase& input : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"build", "--password-stdin"},
              std::vector<std::string>{"add", "tool.exe", "qmw", "--password-stdin"}}) {
            const CliRun run = Cli(args, input.options);
            EXPECT_EQ(run.status, 2) << input.what << ", " << args[0];
            EXPECT_EQ(run.err, std::string("qmverify-cli: ") + input.message + "\n")
                << input.what << ", " << args[0];
        }
    }
    EXPECT_FALSE(fs::exists(ReleaseList()));

    // 1024 bytes and the LF are within the bound: a password, if a wrong one.
    const CliRun run = Cli({"build", "--password-stdin"}, std::string(1024, 'x') + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "The entered password is not valid !\n");
}

// A change that was made stays made when its report cannot be written; the
// operator is told both, with the system's reason.
TEST_F(CliTest, AReportThatCannotBeWrittenIsToldWithItsReason) {
    Build();
    SpawnOptions refused;
    refused.refusedOutput = true;
#ifdef _WIN32
    // A handle opened for reading only.
    const std::string reason = qm::Platform().ErrorText(qm::kErrorAccessDenied);
#else
    const std::string reason = "No space left on device";  // /dev/full
#endif
    CliRun run = Cli({"comment", "qmw", "1", "kept"}, refused);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "qmverify-cli: the comment was stored, but its report could not be written "
              "to standard output: " +
                  reason + "\n");
    EXPECT_NE(ReadFile(ReleaseList()).find("Comment1=kept"), std::string::npos);

    run = Cli({"compare", "--format", "json"}, refused);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "qmverify-cli: the results could not be written to standard output: " +
                           reason + "\n");

    run = RunCli({"--version"}, refused);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "qmverify-cli: standard output could not be written: " + reason + "\n");
}

// "C:\WINDOWS.\qmverify.lst" is the path rules' spelling; a message names
// the file as the system does, and says why the system refused it.
TEST_F(CliTest, MessagesNameFilesAsTheSystemDoesWithItsReason) {
    fs::create_directory(ReleaseList());  // where the list belongs, a directory
    const std::string expected = "qmverify-cli: cannot read the release list " +
                                 ReleaseList().string() + ": " +
                                 qm::Platform().ErrorText(qm::kErrorNotAFile) + "\n";
    CliRun run = Cli({"compare"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, expected);
    run = Cli({"comment", "qmw", "1", "x"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, expected);

    fs::remove(ReleaseList());
    for (const char* file : {"qmw/tool.exe", "qmw/lib.dll", "db1/store.dll"})
        m_install.RemoveFile(file);
    run = Cli({"build", "--password-stdin"}, Password());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "qmverify-cli: no program file found in " + (Root() / "qmw").string() +
                           " or " + (Root() / "db1").string() + ": no release list was written\n");

    run = RunCli({"--windir", (m_base / "nowhere").string(), "compare"});
    EXPECT_EQ(run.err,
              "qmverify-cli: Windows directory not found: " + (m_base / "nowhere").string() + "\n");
}

}  // namespace
