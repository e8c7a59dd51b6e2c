// A program file that another process holds open for writing cannot be
// read: the build records it, and the comparison shows it, with CRC "0".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "SampleInstallation.h"
#include "core/ComparisonRun.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"

namespace qm {
namespace {

using test::SampleInstallation;

// Holds a file open for writing, as an installer at work would.
class WriterHandle {
public:
    explicit WriterHandle(const std::wstring& path)
        : m_handle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~WriterHandle() {
        if (IsOpen()) CloseHandle(m_handle);
    }
    WriterHandle(const WriterHandle&) = delete;
    WriterHandle& operator=(const WriterHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

TEST(LockedProgramFile, IsRecordedAndComparedWithCrcZero) {
    SampleInstallation sample;
    sample.WriteFile("qmw/busy.exe", "abc");
    sample.WriteFile("qmw/free.exe", "abc");
    {
        WriterHandle writer((sample.driveRoot / "qmw" / "busy.exe").wstring());
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
        CIniFile list = sample.LoadList();
        for (int n = 1; n <= 2; ++n) {
            std::string name = list.ReadText("qmw", EntryKey("File", n), 128);
            std::string crc = list.ReadText("qmw", EntryKey("CRC", n), 40);
            EXPECT_EQ(crc, name == "busy.exe" ? "0" : "352441c2") << name;
        }
    }
    // Free again: the file reads, and no longer matches the "0" recorded.
    CResultTable table;
    SortState sort;
    RunComparison(table, sort, ComparisonHooks());
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.CellText(0, kColFileName), "\\qmw.\\busy.exe");
    EXPECT_EQ(table.CellText(0, kColStatus), "Not identical");
    EXPECT_EQ(table.CellText(0, kColCrcCurrent), "352441c2");

    // Locked during the comparison: CRC Current "0".
    WriterHandle writer((sample.driveRoot / "qmw" / "free.exe").wstring());
    ASSERT_TRUE(writer.IsOpen());
    RunComparison(table, sort, ComparisonHooks());
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.CellText(row, kColFileName) == "\\qmw.\\free.exe") {
            EXPECT_EQ(table.CellText(row, kColCrcCurrent), "0");
            EXPECT_EQ(table.CellText(row, kColStatus), "Not identical");
            EXPECT_EQ(table.Rows()[row].file.cause, RowCause::HeldOpen);
            EXPECT_STREQ(CauseText(table.Rows()[row].file.cause), "held open by another program");
        }
    }
}

}  // namespace
}  // namespace qm
