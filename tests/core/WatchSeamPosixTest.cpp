// The posix stand-in's side of what a run without a person needs: events as
// lines of the file $QMVERIFY_EVENT_LOG names, no scheduler and no event
// source to register, every file unsigned, and the program's path, the
// environment and a folder as Linux has them.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/TempDirectory.h"
#include "platform/Platform.h"

namespace qm {
namespace {

using TempDir = test::TempDirectory;

// Sets an environment variable for the lifetime of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : m_name(name) {
        const char* before = std::getenv(name);
        m_had = before != nullptr;
        if (m_had) m_before = before;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (m_had) {
            setenv(m_name, m_before.c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    bool m_had = false;
    std::string m_before;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WatchSeamPosix, EachEventIsOneLineOfTheNamedFile) {
    TempDir dir;
    const std::string log = (dir.path() / "events.txt").string();
    ScopedVariable variable("QMVERIFY_EVENT_LOG", log);
    EXPECT_EQ(Platform().WriteEvent(EventType::Warning, 0x8000044C,
                                    {"\\qmw.\\a.exe", "two\tthree\nfour"}),
              kErrorSuccess);
    EXPECT_EQ(Platform().WriteEvent(EventType::Information, 0x400003E8, {}), kErrorSuccess);
    EXPECT_EQ(Contents(log), "warning 1100\t\\qmw.\\a.exe\ttwo three four\ninformation 1000\n");

    ScopedVariable nowhere("QMVERIFY_EVENT_LOG", (dir.path() / "missing" / "events.txt").string());
    EXPECT_EQ(Platform().WriteEvent(EventType::Error, 0xC00003EB, {"x"}), kErrorPathNotFound);
}

TEST(WatchSeamPosix, NoSchedulerNoEventSourceAndEveryFileUnsigned) {
    TempDir dir;
    dir.Write("tool.exe", "MZ");
    std::string definition = "left over";
    EXPECT_EQ(Platform().RegisterTask("qmverify", "<Task/>"), kErrorNotSupported);
    EXPECT_EQ(Platform().ReadTask("qmverify", definition), kErrorNotSupported);
    EXPECT_EQ(definition, "");
    EXPECT_EQ(Platform().DeleteTask("qmverify"), kErrorNotSupported);
    EXPECT_EQ(Platform().InstallEventSource("/usr/bin/qmverify-cli"), kErrorNotSupported);
    EXPECT_EQ(Platform().RemoveEventSource(), kErrorNotSupported);
    EXPECT_EQ(Platform().FileSignature(dir["tool.exe"]).state, FileSignatureState::Unsigned);
}

TEST(WatchSeamPosix, TheProgramTheEnvironmentAndAFolderOfItsOwn) {
    const std::string program = Platform().ProgramPath();
    EXPECT_EQ(program.substr(program.find_last_of('/') + 1), "core_tests") << program;

    ScopedVariable data("QM_TEST_DATA", "/var/lib");
    EXPECT_EQ(Platform().ExpandEnvironment("%QM_TEST_DATA%/qmverify %QM_NOT_SET% 100%"),
              "/var/lib/qmverify %QM_NOT_SET% 100%");

    TempDir dir;
    const std::string folder = dir["metrics"];
    EXPECT_EQ(Platform().CreateProtectedDirectory(folder), kErrorSuccess);
    struct stat info {};
    ASSERT_EQ(stat((dir.path() / "metrics").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    EXPECT_EQ(Platform().CreateProtectedDirectory(folder), kErrorAlreadyExists);
}

}  // namespace
}  // namespace qm
#endif
