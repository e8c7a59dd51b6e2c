// qmverify-cli as an operator uses it: the built program, started on a
// sample installation in a temporary folder (--windir and --root).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "CrcForge.h"

namespace {

using namespace cli_test;

constexpr char kCsvHeader[] =
    "Filename,Status,CRC Current,Date Current,CRC Release,Date Release,Comment,Entry,Section\r\n";
constexpr char kNotice[] =
    "No release file found. The list for this release will be created now.\n"
    "Please wait, this can take up to a minute.\n";

TEST_F(CliTest, FirstCompareBuildsTheListAndFindsEverythingIdentical) {
    CliRun run = Cli({"compare"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, kNotice);
    EXPECT_TRUE(fs::exists(ReleaseList()));
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    for (const char* header : {"Filename", "Status", "CRC Current", "Date Current", "CRC Release",
                               "Date Release", "Comment"}) {
        EXPECT_NE(lines[0].find(header), std::string::npos) << header;
    }
    EXPECT_EQ(lines[0].find("Section"), std::string::npos);  // hidden in the table
    // The columns line up: every row's status starts under "Status".
    const size_t statusColumn = lines[0].find("Status");
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].compare(statusColumn, 9, "Identical"), 0) << lines[i];
    }

    run = Cli({"compare"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");  // the list exists now: no notice, no build
}

TEST_F(CliTest, ChangedFileExitsOneAndMarkedFileCountsAsUpdated) {
    Build();
    WriteFile(Root() / "qmw" / "lib.dll", "abd");
    CliRun run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 1);
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u);
    std::vector<std::string> first = Split(lines[1], ',');
    ASSERT_EQ(first.size(), 9u);
    EXPECT_EQ(first[0], "\\qmw.\\lib.dll");
    EXPECT_EQ(first[1], "Not identical");
    EXPECT_EQ(first[4], "352441c2");  // the CRC of "abc" as recorded
    EXPECT_EQ(first[7], "2");
    EXPECT_EQ(first[8], "qmw");

    run = Cli({"comment", "qmw", "2", "--updated", "1", "hotfix"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 0);
    first = Split(Lines(run.out)[1], ',');
    EXPECT_EQ(first[1], "Updated");
    EXPECT_EQ(first[6], "hotfix");

    // Without --updated the mark stays as it is.
    run = Cli({"comment", "qmw", "2", "new text"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("marked as updated"), std::string::npos);
    EXPECT_NE(ReadFile(ReleaseList()).find("Updated2=1"), std::string::npos);
}

TEST_F(CliTest, MissingFileIsNotIdentical) {
    Build();
    fs::remove(Root() / "db1" / "store.dll");
    const CliRun run = Cli({"compare", "--format", "tsv"});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> row = Split(Lines(run.out)[1], '\t');
    ASSERT_EQ(row.size(), 9u);
    EXPECT_EQ(row[0], "\\db1.\\store.dll");
    EXPECT_EQ(row[2], "0");
}

TEST_F(CliTest, FormatsCarryAllNineColumnsAndEscapeTheirFields) {
    Build();
    ASSERT_EQ(Cli({"comment", "qmw", "1", "say \"hi\", then\ttab"}).status, 0);

    CliRun run = Cli({"compare", "--format=csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.compare(0, sizeof kCsvHeader - 1, kCsvHeader), 0) << run.out;
    EXPECT_NE(run.out.find(",\"say \"\"hi\"\", then\ttab\",1,qmw\r\n"), std::string::npos)
        << run.out;

    run = Cli({"compare", "--format", "tsv"});
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              "Filename\tStatus\tCRC Current\tDate Current\tCRC Release\tDate Release\t"
              "Comment\tEntry\tSection");
    for (const std::string& line : lines) EXPECT_EQ(Split(line, '\t').size(), 9u) << line;
    EXPECT_NE(run.out.find("say \"hi\", then tab"), std::string::npos);

    run = Cli({"compare", "--format", "json"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out.front(), '[');
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "]\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '{'), 3);
    EXPECT_NE(run.out.find("\"filename\": \"\\\\qmw.\\\\tool.exe\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"comment\": \"say \\\"hi\\\", then\\ttab\""), std::string::npos);
    EXPECT_NE(run.out.find("\"entry\": 1,"), std::string::npos);
    EXPECT_TRUE(std::all_of(run.out.begin(), run.out.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

// A comment (or a name) from the release list could drive the terminal
// (ESC starts a sequence, BEL rings): every format shows such characters as
// the table does.
TEST_F(CliTest, NoFormatPassesControlCharactersToTheTerminal) {
    Build();
    ASSERT_EQ(Cli({"comment", "qmw", "1", "bell\a esc\x1b[2J del\x7f tab\tend"}).status, 0);
    for (const char* format : {"table", "csv", "tsv"}) {
        const CliRun run = Cli({"compare", "--format", format});
        EXPECT_EQ(run.status, 0) << format;
        EXPECT_NE(run.out.find("bell? esc?[2J del? tab"), std::string::npos) << run.out;
        const bool raw = std::any_of(run.out.begin(), run.out.end(), [format](char c) {
            const unsigned char byte = static_cast<unsigned char>(c);
            const bool allowed =
                c == '\n' || c == '\r' || (c == '\t' && std::string(format) != "table");
            return (byte < 0x20 && !allowed) || byte == 0x7F;
        });
        EXPECT_FALSE(raw) << format << ": " << run.out;
    }
}

TEST_F(CliTest, BuildNeedsThePasswordAndKeepsTheOldListAsBackup) {
    CliRun run = Cli({"build", "--password-stdin"}, MistypedTestPassword() + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "The entered password is not valid !\n");
    EXPECT_FALSE(fs::exists(ReleaseList()));

    EXPECT_EQ(Cli({"build", "--password-stdin"}, "").status, 2);  // no line: empty password

    run = Cli({"build", "--password-stdin"}, Password("\r\nrest\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("No previous release list"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("3 entries"), std::string::npos) << run.out;

    run = Cli({"build", "--password-stdin"}, Password(""));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("kept as qmverify.l01 in "), std::string::npos) << run.out;
    EXPECT_TRUE(fs::exists(WindowsDirectory() / "qmverify.l01"));

    // No terminal to ask on, and no --password-stdin.
    run = Cli({"build"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--password-stdin"), std::string::npos);
}

TEST_F(CliTest, AddEntersANewFileThenRefreshesIt) {
    Build();
    WriteFile(Root() / "qmw" / "setup.bat", "echo");
    CliRun run = Add("setup.bat", "qmw");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("entry 3"), std::string::npos) << run.out;
    run = Add("setup.bat", "QMW");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Refreshed entry 3"), std::string::npos) << run.out;

    // Blanks and quotes around a name are kept: it names that file.
    WriteFile(Root() / "qmw" / " lead.bat", "lead");
    run = Add(" lead.bat", "qmw");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadFile(ReleaseList()).find("File4=\" lead.bat\""), std::string::npos);

    run = Add("ghost.exe", "db1");  // still entered, with a note
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("does not exist"), std::string::npos);
    run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 1);  // a missing file never passes, whatever its entry records
    EXPECT_EQ(Lines(run.out).size(), 7u);
}

TEST_F(CliTest, AddNeedsThePasswordAndABareName) {
    Build();
    WriteFile(Root() / "qmw" / "setup.bat", "echo");
    const std::string before = ReadFile(ReleaseList());
    CliRun run =
        Cli({"add", "setup.bat", "qmw", "--password-stdin"}, MistypedTestPassword() + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "The entered password is not valid !\n");
    EXPECT_EQ(Cli({"add", "setup.bat", "qmw"}).status, 2);  // no terminal to ask on
    for (const char* name : {"..\\windows\\win.ini", "../x.exe", "c:x.exe", ".."}) {
        run = Add(name, "qmw");
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find("not a bare file name"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFile(ReleaseList()), before);
}

TEST_F(CliTest, CommentRefusesEntriesThatAreNotThere) {
    Build();
    EXPECT_EQ(Cli({"comment", "db1", "2", "x"}).status, 2);  // db1 has one entry
    EXPECT_EQ(Cli({"comment", "db1", "0", "x"}).status, 2);
    EXPECT_EQ(Cli({"comment", "db1", "9999", "x"}).status, 2);
    EXPECT_EQ(Cli({"comment", "db1", "1x", "x"}).status, 2);
    EXPECT_EQ(Cli({"comment", "abc", "1", "x"}).status, 2);
    EXPECT_EQ(Cli({"comment", "db1", "1", "--updated", "2", "x"}).status, 2);
    const CliRun run = Cli({"comment", "db1", "1", "--", "-starts with a dash"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadFile(ReleaseList()).find("Comment1=-starts with a dash"), std::string::npos);
}

TEST_F(CliTest, BadArgumentsGiveAMessageAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"compare", "--colour"},
        {"compare", "--format", "xml"},
        {"compare", "extra"},
        {"build", "--format", "csv"},
        {"release", "--password-stdin"},
        {"add", "tool.exe"},
        {"add", "", "qmw"},
        {"add", "..\\tool.exe", "qmw"},
        {"add", "line\nbreak.exe", "qmw"},
        {"add", std::string(80, 'a'), "qmw"},
        {"add", "tool.exe", "sys"},
        {"compare", "--windir"},
        {"--windir=", "compare"},
    };
    for (const auto& args : cases) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(run.err.find("qmverify-cli: "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliRun missing = RunCli({"--windir", (m_base / "nowhere").string(), "compare"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("not found"), std::string::npos) << missing.err;

    const CliRun noRoot = RunCli({"--root", (m_base / "nowhere").string(), "release"});
    EXPECT_EQ(noRoot.status, 2);
    EXPECT_NE(noRoot.err.find("not found"), std::string::npos) << noRoot.err;

    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Example"), std::string::npos);
}

#ifdef _WIN32
// The installed QMW release in this Wine prefix's registry while it lives.
class ScopedQmwKey {
public:
    ScopedQmwKey() {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark\\Quillmark Works", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr);
        const DWORD major = 3, minor = 1;
        RegSetValueExA(key, "Installation Date", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>("05-12-2004"), 11);
        RegSetValueExA(key, "Installation Time", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>("14:30:00"), 9);
        RegSetValueExA(key, "Version_Major", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major),
                       4);
        RegSetValueExA(key, "Version_Minor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minor),
                       4);
        RegCloseKey(key);
    }
    ~ScopedQmwKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark"); }
};
#endif

TEST_F(CliTest, ReleaseShowsTheInstalledReleasesAsTheWindowLabelsThem) {
    CliRun run = Cli({"release"}, "", {{"QMVERIFY_REGISTRY", ""}});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{"Installed QMW Release:", "Installed on:",
                                        "Installed Sentinel Release:", "Installed on:"}));
#ifdef _WIN32
    ScopedQmwKey key;
    run = Cli({"release"});
#else
    const fs::path registry = m_base / "machine.reg";
    WriteFile(registry,
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
              "\"Installation Date\"=\"05-12-2004\"\r\n"
              "\"Installation Time\"=\"14:30:00\"\r\n"
              "\"Version_Major\"=dword:00000003\r\n"
              "\"Version_Minor\"=dword:00000001\r\n");
    run = Cli({"release"}, "", {{"QMVERIFY_REGISTRY", registry.string()}});
#endif
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[0].substr(0, 22), "Installed QMW Release:");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 4), " 3.1");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 20), " 12.05.2004 14:30:00");
    EXPECT_EQ(lines[2], "Installed Sentinel Release:");
    EXPECT_EQ(lines[3], "Installed on:");
}

TEST_F(CliTest, JsonTellsTheCauseOfEveryRow) {
    Build();
    WriteFile(Root() / "qmw" / "lib.dll", "abd");
    fs::remove(Root() / "db1" / "store.dll");
    const CliRun run = Cli({"compare", "--format", "json"});
    EXPECT_EQ(run.status, 1);
    for (const char* row :
         {"\"filename\": \"\\\\qmw.\\\\tool.exe\"", "\"filename\": \"\\\\qmw.\\\\lib.dll\"",
          "\"filename\": \"\\\\db1.\\\\store.dll\""}) {
        EXPECT_NE(run.out.find(row), std::string::npos) << row;
    }
    const auto causeOf = [&run](const std::string& name) {
        const size_t row = run.out.find(name);
        const size_t cause = run.out.find("\"cause\": \"", row);
        return run.out.substr(cause + 10, run.out.find('"', cause + 10) - cause - 10);
    };
    EXPECT_EQ(causeOf("tool.exe"), "same content");
    EXPECT_EQ(causeOf("lib.dll"), "content changed");
    EXPECT_EQ(causeOf("store.dll"), "missing");
    EXPECT_NE(run.out.find("\"dateChanged\": false"), std::string::npos);
}

TEST_F(CliTest, UnlistedFilesAreReportedOnlyWhenAskedFor) {
    Build();
    WriteFile(Root() / "qmw" / "dropped.exe", "nobody released me");
    WriteFile(Root() / "qmw" / "notes.txt", "no program file");
    WriteFile(Root() / "db1" / "extra.bat", "db1 lists no batch files");
    CliRun run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out).size(), 4u);

    run = Cli({"compare", "--unlisted", "--format", "csv"});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    const std::vector<std::string> row = Split(lines[1], ',');  // before the identical ones
    EXPECT_EQ(row[0], "\\qmw.\\dropped.exe");
    EXPECT_EQ(row[1], "Not listed");
    EXPECT_EQ(row[4], "");
    EXPECT_EQ(row[7], "");
    EXPECT_EQ(row[8], "qmw");

    run = Cli({"compare", "--unlisted", "--format", "openmetrics"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("qmverify_unlisted_files{section=\"qmw\"} 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("qmverify_unlisted_files{section=\"db1\"} 0\n"), std::string::npos);
    EXPECT_NE(run.out.find("qmverify_files{section=\"qmw\",status=\"identical\"} 2\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("qmverify_release_list_found 1\n"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 6), "# EOF\n");
}

TEST_F(CliTest, MetricsSayWhetherTheListWasFoundAndPassPromtool) {
    const CliRun run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("qmverify_release_list_found 0\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("qmverify_unlisted_files"), std::string::npos);
#ifndef _WIN32
    // Prometheus' own check, where it is installed.
    if (std::system("promtool --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "promtool is not installed";
    }
    const fs::path metrics = m_base / "qmverify.prom";
    WriteFile(metrics, run.out);
    const std::string command = "promtool check metrics < '" + metrics.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
#endif
}

TEST_F(CliTest, VersionComesFromTheProject) {
    const CliRun run = RunCli({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("qmverify-cli ", 0), 0u) << run.out;
}

// A program changed so that size, CRC-32 and date stay those of the release.
TEST_F(CliTest, AFileCraftedToKeepItsCrcAndDateIsNotIdentical) {
    std::string program(300 * 1024, '\0');
    for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 7 >> 5);
    WriteFile(Root() / "qmw" / "tool.exe", program);
    Build();
    const fs::file_time_type date = fs::last_write_time(Root() / "qmw" / "tool.exe");
    WriteFile(Root() / "qmw" / "tool.exe", qm::test::CraftedLike(program));
    fs::last_write_time(Root() / "qmw" / "tool.exe", date);

    CliRun run = Cli({"compare", "--format", "json"});
    EXPECT_EQ(run.status, 1);
    const size_t row = run.out.find("tool.exe");
    ASSERT_NE(row, std::string::npos);
    const std::string object = run.out.substr(row, run.out.find('}', row) - row);
    EXPECT_NE(object.find("\"status\": \"Not identical\""), std::string::npos) << object;
    EXPECT_NE(object.find("\"cause\": \"content changed, CRC-32 equal\""), std::string::npos);
    EXPECT_NE(object.find("\"dateChanged\": false"), std::string::npos) << object;
    EXPECT_NE(object.find("\"digest\": \"sha256\""), std::string::npos) << object;
    run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_NE(run.out.find("qmverify_crafted_files{section=\"qmw\"} 1\n"), std::string::npos);

    // A list written before the SHA-256 was recorded (and before any key was
    // pinned) compares as it always did.
    Unpin();
    std::string list = ReadFile(ReleaseList());
    list.erase(list.find("[Signature]"));
    for (size_t at; (at = list.find("SHA256")) != std::string::npos;) {
        list.erase(at, list.find('\n', at) + 1 - at);
    }
    WriteFile(ReleaseList(), list);
    run = Cli({"compare", "--format", "json"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("\"cause\": \"same CRC-32\", \"dateChanged\": false, \"digest\": "
                           "\"crc32\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"sha256Release\": null"), std::string::npos);
    run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_NE(run.out.find("qmverify_files_crc_only{section=\"qmw\"} 2\n"), std::string::npos)
        << run.out;
}

TEST_F(CliTest, AListThatCannotBeComparedWholeIsNeverAPass) {
    Build();
    Unpin();  // the lists below are written by hand
    // No entry at all where the list has one behind a gap.
    WriteFile(ReleaseList(), "[qmw]\r\nFile2=tool.exe\r\nCRC2=cbf43926\r\n");
    CliRun run = Cli({"compare"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("yields no entry"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("section qmw"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("File2"), std::string::npos) << run.err;
    run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("qmverify_release_list_problems{problem=\"no_entries\"} 1\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("qmverify_release_list_problems{problem=\"unreached_entries\"} 1\n"),
              std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 6), "# EOF\n");

    // Entries behind a gap: the rows before it, and status 2.
    WriteFile(ReleaseList(), "[qmw]\r\nFile1=tool.exe\r\nCRC1=cbf43926\r\nFile3=lib.dll\r\n");
    run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.out).size(), 2u) << run.out;
    EXPECT_NE(run.err.find("File3"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("yields no entry"), std::string::npos) << run.err;

    // Garbage, and CR alone as the line end: told, never a pass.
    WriteFile(ReleaseList(), std::string("\x7f\x01garbage\0\xff\n", 12));
    run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("1 lines that are no section, entry or comment (the first is line 1)"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("qmverify_release_list_problems{problem=\"unplaced_lines\"} 1\n"),
              std::string::npos);
    WriteFile(ReleaseList(), "[qmw]\rFile1=tool.exe\rCRC1=cbf43926\r");
    run = Cli({"compare", "--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).size(), 2u) << run.out;
}

}  // namespace
