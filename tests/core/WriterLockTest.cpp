// One writer at a time, and writes that the system refuses: every operation
// that writes the release list or the settings file waits for the writer
// lock, gives up when another writer keeps it, and says why a write failed.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "SampleInstallation.h"
#include "core/AddReleaseFile.h"
#include "core/EntryComment.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListFormat.h"
#include "core/Settings.h"
#include "core/WriterLock.h"

namespace qm {
namespace {

using test::FaultPlatform;
using test::SampleInstallation;

const char kList[] = "[qmw]\r\nFile1=tool.exe\r\nCRC1=0\r\n";

// The four writers, each reporting the system's reason of a failure.
struct Writer {
    const char* what;
    uint32_t (*run)();
};
const Writer kWriters[] = {
    {"build",
     [] {
         const BuildResult result = CReleaseListBuild().BuildReleaseList();
         return result.status == BuildResult::Ok ? 0u : result.error;
     }},
    {"add",
     [] {
         uint32_t error = 0;
         AddReleaseFile("tool.exe", 0, nullptr, &error);
         return error;
     }},
    {"comment",
     [] {
         uint32_t error = 0;
         WriteEntryComment("qmw", 1, "tool.exe", "note", true, &error);
         return error;
     }},
    {"settings",
     [] {
         uint32_t error = 0;
         WriteSettingsFlags({1, 0}, &error);
         return error;
     }},
};

class WriterLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousWait = CWriterLock::SetWait(std::chrono::milliseconds(150));
        sample.WriteFile("qmw/tool.exe", "abc");
        sample.WriteList(kList);
    }
    void TearDown() override { CWriterLock::SetWait(m_previousWait); }

    SampleInstallation sample;
    std::chrono::milliseconds m_previousWait{};
};

TEST_F(WriterLockTest, AWriterGivesUpWhileAnotherHoldsTheLockAndWritesOnceItIsFree) {
    // The window keeps itself alive through the hook while any writer waits.
    int waitCalls = 0;
    const std::function<void()> previousHook = CWriterLock::SetWaitHook([&] { ++waitCalls; });
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.what);
        waitCalls = 0;
        {
            std::unique_ptr<IFileLock> other;
            ASSERT_EQ(Platform().TryLockFile(LockFilePath(Platform().WindowsDirectory()), other),
                      kErrorSuccess);
            EXPECT_EQ(writer.run(), kErrorLockViolation);
            EXPECT_EQ(sample.ListText(), kList);
            EXPECT_FALSE(sample.ExistsInWindows("qmverify.ini"));
        }
        EXPECT_GE(waitCalls, 2) << "150 ms of waiting, a try every 50 ms";
        waitCalls = 0;
        EXPECT_EQ(writer.run(), kErrorSuccess);
        EXPECT_EQ(waitCalls, 0) << "no wait, no hook";
        sample.WriteList(kList);
        sample.RemoveInWindows("qmverify.ini");
        sample.RemoveInWindows("qmverify.l01");
    }
    CWriterLock::SetWaitHook(previousHook);
    // The lock file stays for the next writer.
    EXPECT_TRUE(sample.ExistsInWindows("qmverify.lck"));
}

TEST_F(WriterLockTest, TheWaitShowsTheWaitCursor) {
    std::unique_ptr<IFileLock> other;
    ASSERT_EQ(Platform().TryLockFile(LockFilePath(Platform().WindowsDirectory()), other), 0u);
    std::vector<bool> cursor;
    CWriterLock lock([&cursor](bool wait) { cursor.push_back(wait); });
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
}

TEST_F(WriterLockTest, ARefusedWriteNamesItsCauseAndChangesNothing) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.what);
        {
            // A standard user in the Windows directory: the lock file cannot
            // even be made.
            FaultPlatform faults;
            faults.failLock = true;
            faults.failure = kErrorAccessDenied;
            EXPECT_EQ(writer.run(), kErrorAccessDenied);
        }
        {
            // The lock taken, but the new file refused (a read-only medium).
            FaultPlatform faults;
            faults.failCreateNewFile = true;
            faults.failure = kErrorWriteProtect;
            EXPECT_EQ(writer.run(), kErrorWriteProtect);
            EXPECT_TRUE(IsWriteRefused(writer.run()));
        }
        EXPECT_EQ(sample.ListText(), kList);
        EXPECT_FALSE(sample.ExistsInWindows("qmverify.ini"));
        EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));
    }
}

}  // namespace
}  // namespace qm
