// The signed release list as a script meets it, natively and under Wine: an
// administrator's hostile edits of the list or the settings never pass in
// silence, what may change without the password keeps the signature, a
// site's own password keeps the key, and lists signed on either system
// verify on both.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "CrcForge.h"
#include "core/Fingerprint.h"
#include "core/HexText.h"
#include "core/IniFile.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

using namespace cli_test;

// MinGW's copy_file takes two files of one drive for the same file (their
// inode reads 0), so that overwriting fails: the old one goes first.
void CopyOver(const fs::path& from, const fs::path& to) {
    fs::remove(to);
    fs::copy_file(from, to);
}

class SignatureTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        Build();
        m_list = ReadFile(ReleaseList());
        m_settings = ReadFile(Settings());
    }

    fs::path Settings() const { return WindowsDirectory() / "qmverify.ini"; }

    void Restore() const {
        WriteFile(ReleaseList(), m_list);
        WriteFile(Settings(), m_settings);
    }

    // Writes `key` = `value` into a file of the Windows directory.
    static void Edit(const fs::path& file, const char* section, const std::string& key,
                     const std::string& value) {
        qm::CIniFile ini;
        ini.LoadText(ReadFile(file));
        ASSERT_TRUE(ini.WriteText(section, key, value));
        WriteFile(file, ini.Text());
    }
    void EditList(const char* section, const std::string& key, const std::string& value) const {
        Edit(ReleaseList(), section, key, value);
    }

    std::string ListValue(const char* section, const std::string& key) const {
        qm::CIniFile ini;
        ini.LoadText(ReadFile(ReleaseList()));
        return ini.ReadText(section, key, 4096);
    }

    // "state" of list-status's JSON.
    std::string State() {
        const CliRun run = Cli({"list-status", "--format", "json"});
        const size_t at = run.out.find("\"state\": \"");
        if (at == std::string::npos) return "(none) " + run.out + run.err;
        return run.out.substr(at + 10, run.out.find('"', at + 10) - at - 10);
    }

    // The value of one line of the metrics, such as
    // "qmverify_release_list_sequence ".
    std::string Metric(const std::string& prefix) {
        const std::string out = Cli({"compare", "--format", "openmetrics"}).out;
        const size_t at = out.find("\n" + prefix);
        if (at == std::string::npos) return "(none)";
        const size_t begin = at + 1 + prefix.size();
        return out.substr(begin, out.find('\n', begin) - begin);
    }

    static std::string OtherKey() {
        std::string publicKey;
        std::string privateKey;
        EXPECT_TRUE(qm::Platform().NewSigningKey(publicKey, privateKey));
        return qm::HexText(publicKey);
    }

    std::string m_list;
    std::string m_settings;
};

TEST_F(SignatureTest, NoHostileEditOfTheListOrThePinPassesInSilence) {
    ASSERT_EQ(State(), "valid");
    const std::string planted = "planted by an administrator";
    WriteFile(Root() / "qmw" / "extra.dll", planted);
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"an entry's SHA-256", [&] { EditList("qmw", "SHA2561", std::string(64, 'a')); }},
        {"an entry's CRC", [&] { EditList("qmw", "CRC1", "badf00d"); }},
        {"an entry's size", [&] { EditList("qmw", "Size1", "10"); }},
        {"an entry's date", [&] { EditList("qmw", "Date1", "01.01.2027 00:00"); }},
        {"an entry's name", [&] { EditList("qmw", "File2", "other.dll"); }},
        {"a planted DLL with its true digests",
         [&] {
             EditList("qmw", "File3", "extra.dll");
             EditList("qmw", "CRC3", qm::CrcText(qm::test::CrcOf(planted)));
             EditList("qmw", "SHA2563", qm::Sha256Hex(qm::Sha256(planted)));
         }},
        {"an entry deleted", [&] { EditList("qmw", "File2", ""); }},
        {"two entries swapped",
         [&] {
             const std::string first = ListValue("qmw", "File1");
             EditList("qmw", "File1", ListValue("qmw", "File2"));
             EditList("qmw", "File2", first);
         }},
        {"every SHA-256 removed",
         [&] {
             EditList("qmw", "SHA2561", "");
             EditList("qmw", "SHA2562", "");
             EditList("db1", "SHA2561", "");
         }},
        {"[Signature] deleted",
         [&] { WriteFile(ReleaseList(), m_list.substr(0, m_list.find("[Signature]"))); }},
        {"one bit of the signature",
         [&] {
             std::string value = ListValue("Signature", "Signature");
             value[10] = static_cast<char>(value[10] ^ 0x01);
             EditList("Signature", "Signature", value);
         }},
        {"the list's public key", [&] { EditList("Signature", "PublicKey", OtherKey()); }},
        {"the pinned key", [&] { Edit(Settings(), "SigningKey", "PublicKey", OtherKey()); }},
        {"the list deleted", [&] { fs::remove(ReleaseList()); }},
    };
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.first);
        Restore();
        edit.second();
        const CliRun run = Cli({"compare", "--format", "csv"});
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_TRUE(run.err.find("no verdict below can be trusted") != std::string::npos ||
                    run.err.find("only by Update Release Data") != std::string::npos)
            << run.err;
        const std::string state = State();
        EXPECT_TRUE(state == "changed" || state == "other_key" || state == "unsigned_while_pinned")
            << state;
        EXPECT_EQ(Cli({"list-status"}).status, 2);
    }
    // A missing list is told, never built again without the password.
    EXPECT_FALSE(fs::exists(ReleaseList()));
    EXPECT_NE(Cli({"compare"}).err.find("only by Update Release Data"), std::string::npos);
}

TEST_F(SignatureTest, AnOlderBackupLowersTheSequenceAndANewKeyChangesTheFingerprint) {
    Build();  // the first signed list is kept as qmverify.l01
    EXPECT_EQ(Metric("qmverify_release_list_sequence "), "2");
    CopyOver(WindowsDirectory() / "qmverify.l01", ReleaseList());
    EXPECT_EQ(Cli({"compare"}).status, 0);
    EXPECT_EQ(Metric("qmverify_release_list_sequence "), "1");
    EXPECT_EQ(Metric("qmverify_release_list_signature{state=\"valid\"} "), "1");

    const std::string fingerprint = Cli({"list-key"}).out;
    ASSERT_EQ(fingerprint.size(), 40u) << fingerprint;
    EXPECT_EQ(Metric("qmverify_release_list_key_info{fingerprint=\""),
              fingerprint.substr(0, 39) + "\"} 1");
    // The pin replaced together with a list signed anew: valid, and only
    // the fingerprint tells.
    Unpin();
    const CliRun rebuilt = Cli({"build", "--password-stdin"}, Password());
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
    EXPECT_NE(rebuilt.out.find("A signing key was made"), std::string::npos) << rebuilt.out;
    EXPECT_EQ(State(), "valid");
    EXPECT_NE(Cli({"list-key"}).out, fingerprint);
}

TEST_F(SignatureTest, CommentsMarksAndAddsKeepItValidAndAddNeverSignsAChange) {
    CliRun run = Cli({"comment", "qmw", "1", "--updated", "1", "hotfix 7"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cli({"list-status"}).status, 0);
    run = Add("tool.exe", "qmw");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("sequence number 2"), std::string::npos) << run.out;
    EXPECT_EQ(State(), "valid");

    EditList("qmw", "CRC2", "cbf43926");
    const std::string changed = ReadFile(ReleaseList());
    run = Add("lib.dll", "qmw");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Add would sign those changes"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(ReleaseList()), changed);
}

TEST_F(SignatureTest, ASitesOwnPasswordReplacesTheBuiltInOneAndKeepsTheKey) {
    const std::string fingerprint = Cli({"list-key"}).out;
    CliRun run = Cli({"password", "--password-stdin"}, Password("\nnew secret\n"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("sealed under it"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(Settings()).find("new secret"), std::string::npos);
    EXPECT_NE(ReadFile(Settings()).find("Iterations=600000"), std::string::npos);

    EXPECT_EQ(Cli({"build", "--password-stdin"}, Password()).status, 2);
    run = Cli({"build", "--password-stdin"}, "new secret\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cli({"list-key"}).out, fingerprint);
    EXPECT_EQ(State(), "valid");

    run = Cli({"password", "--password-stdin"}, Password("\nanother\n"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not valid"), std::string::npos) << run.err;
    run = Cli({"password", "--password-stdin"}, "new secret\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no password was given"), std::string::npos) << run.err;
}

// The committed lists were signed by the Windows build under Wine and by the
// native build; each run checks both.
TEST_F(SignatureTest, ListsSignedOnEitherSystemVerifyOnBoth) {
    for (const char* signer : {"windows", "posix"}) {
        SCOPED_TRACE(signer);
        const fs::path fixture = fs::path(QM_FIXTURE_DIR) / (std::string("signed-by-") + signer);
        CopyOver(fixture / "qmverify.lst", ReleaseList());
        CopyOver(fixture / "qmverify.ini", Settings());
        const CliRun run = Cli({"list-status"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_NE(run.out.find("State:       valid"), std::string::npos) << run.out;
    }
}

TEST_F(SignatureTest, StrayDigestsAreToldWithTheListsOtherProblems) {
    Unpin();
    WriteFile(ReleaseList(), m_list.substr(0, m_list.find("[Signature]")));
    EditList("qmw", "File2", "");  // removed by hand, its SHA-256 and size left behind
    const CliRun run = Cli({"compare", "--format", "openmetrics"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("holds SHA2562 and Size2 without the name of its entry"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("qmverify_release_list_problems{problem=\"stray_keys\"} 2\n"),
              std::string::npos);
}

#ifndef _WIN32
// The list keeps the mode an administrator gave it through every write, under
// umask 000 too, and a symbolic link stays one.
TEST_F(SignatureTest, WritesKeepTheListsModeAndALinkStaysALink) {
    const auto modeOf = [](const fs::path& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0u;
    };
    const auto ownerOf = [](const fs::path& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 ? info.st_uid : 0u;
    };
    // Root writes here (as in the Windows directory): the owner stays too.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(ReleaseList().c_str(), 4242, 4242), 0);
    }
    ASSERT_EQ(chmod(ReleaseList().c_str(), 0640), 0);
    ASSERT_EQ(chmod(Settings().c_str(), 0600), 0);
    const mode_t previous = umask(0);
    const std::vector<std::pair<const char*, std::vector<std::string>>> writes = {
        {"comment", {"comment", "qmw", "1", "x"}},
        {"add", {"add", "tool.exe", "qmw", "--password-stdin"}},
        {"build", {"build", "--password-stdin"}},
    };
    for (const auto& write : writes) {
        const CliRun run = Cli(write.second, Password());
        EXPECT_EQ(run.status, 0) << write.first << run.err;
        EXPECT_EQ(modeOf(ReleaseList()), 0640u) << write.first;
        EXPECT_EQ(modeOf(Settings()), 0600u) << write.first;
        if (root) {
            EXPECT_EQ(ownerOf(ReleaseList()), 4242u) << write.first;
        }
    }
    // A new list is never writable by others.
    fs::remove_all(WindowsDirectory());
    fs::create_directory(WindowsDirectory());
    ASSERT_EQ(Cli({"compare"}).status, 0);
    EXPECT_EQ(modeOf(ReleaseList()), 0644u);
    umask(previous);

    ASSERT_EQ(chmod(ReleaseList().c_str(), 0666), 0);
    EXPECT_NE(Cli({"compare"}).err.find("may be written by its group and every user (mode 0666)"),
              std::string::npos);

    const fs::path target = m_base / "elsewhere" / "real.lst";
    fs::create_directories(target.parent_path());
    fs::rename(ReleaseList(), target);
    fs::create_symlink(target, ReleaseList());
    ASSERT_EQ(Cli({"comment", "qmw", "1", "through the link"}).status, 0);
    ASSERT_EQ(Cli({"build", "--password-stdin"}, Password()).status, 0);
    EXPECT_TRUE(fs::is_symlink(ReleaseList()));
    EXPECT_NE(ReadFile(target).find("[Signature]"), std::string::npos);
    EXPECT_EQ(State(), "valid");
}

// Faults injected with strace: the system's own words, a read told as a
// read, and a flush the file system does not keep.
TEST_F(SignatureTest, FailuresAreToldInTheSystemsOwnWords) {
    if (!fs::exists("/usr/bin/strace")) GTEST_SKIP() << "no strace";
    const auto traced = [this](const std::vector<std::string>& inject,
                               std::vector<std::string> args) {
        SpawnOptions options;
        options.program = "/usr/bin/strace";
        options.environment = {{"ASAN_OPTIONS", "detect_leaks=0"}};
        std::vector<std::string> line = {"-f", "-o", "/dev/null"};
        line.insert(line.end(), inject.begin(), inject.end());
        line.push_back(QMVERIFY_CLI_PATH);
        line.insert(line.end(),
                    {"--windir", WindowsDirectory().string(), "--root", Root().string()});
        line.insert(line.end(), args.begin(), args.end());
        return RunCli(line, options);
    };
    const std::vector<std::string> comment = {"comment", "qmw", "1", "x"};
    CliRun run = traced(
        {"-P", ReleaseList().string(), "-e", "trace=read", "-e", "inject=read:error=EIO"}, comment);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("cannot read the release list"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Input/output error"), std::string::npos) << run.err;
    const std::pair<const char*, int> errors[] = {{"EXDEV", EXDEV},
                                                  {"EMFILE", EMFILE},
                                                  {"EFBIG", EFBIG},
                                                  {"ENOLCK", ENOLCK},
                                                  {"EINVAL", EINVAL}};
    for (const auto& error : errors) {
        run =
            traced({"-e", "trace=rename", "-e", std::string("inject=rename:error=") + error.first},
                   comment);
        EXPECT_EQ(run.status, 2) << error.first;
        EXPECT_NE(run.err.find(std::string("could not be written: ") + std::strerror(error.second)),
                  std::string::npos)
            << run.err;
    }
    run = traced({"-e", "trace=fsync", "-e", "inject=fsync:error=EINVAL"}, comment);
    EXPECT_EQ(run.status, 0) << run.err;
}
#endif

}  // namespace
