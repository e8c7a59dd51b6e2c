// What the window tells the operator when the release data cannot be
// changed as asked: another program holds the list (and the window stays
// alive while it waits for it), administrator rights are missing, a name
// with a directory part, a build that finds nothing or that could not read
// some files, a list that cannot be read, and a file whose own state refuses
// the change (read-only, too large, not understood).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "DialogFixture.h"
#include "FileOfSize.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListFormat.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"
#include "ui/Elevation.h"
#include "ui/MessageBoxes.h"

namespace {

using D = ModalDriver;

class WriteNoticesTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        m_previousWait = qm::CWriterLock::SetWait(std::chrono::milliseconds(150));
    }
    void TearDown() override {
        qm::CWriterLock::SetWait(m_previousWait);
        DialogFixture::TearDown();
    }
    // Presses OK in Settings and returns what our own box told, with
    // whether the dialog stayed open after it.
    std::string SettingsOkTells(bool& stayedOpen) {
        std::string told;
        stayedOpen = false;
        m_driver.When("Settings", [](HWND dialog) { D::Press(dialog, IDOK); })
            .When("qmverify",
                  [&](HWND box) {
                      told = D::MessageText(box);
                      D::Press(box, IDOK);
                  })
            .When("Settings", [&](HWND dialog) {
                stayedOpen = true;
                D::Press(dialog, IDCANCEL);
            });
        Press(IDC_SETTINGS);
        EXPECT_EQ(m_driver.Pending(), 0u);
        return told;
    }
    // Runs Compare and returns the texts of our own boxes, in order.
    std::vector<std::string> CompareTells(int boxes) {
        std::vector<std::string> told;
        for (int i = 0; i < boxes; ++i) {
            m_driver.When("qmverify", [&](HWND box) {
                told.push_back(D::MessageText(box));
                D::Press(box, IDOK);
            });
        }
        Press(IDC_COMPARE);
        EXPECT_EQ(m_driver.Pending(), 0u);
        return told;
    }

    std::chrono::milliseconds m_previousWait{};
};

TEST_F(WriteNoticesTest, AnotherWriterAndMissingRightsAreToldAndTheSettingsStayOpen) {
    Open();
    bool stayedOpen = false;
    {
        std::unique_ptr<qm::IFileLock> other;
        ASSERT_EQ(qm::Platform().TryLockFile(qm::LockFilePath(m_install.WindowsDirectory()), other),
                  0u);
        EXPECT_EQ(SettingsOkTells(stayedOpen)
                      .rfind("The release list is being changed by "
                             "another program.",
                             0),
                  0u);
        EXPECT_TRUE(stayedOpen);
    }
    {
        qm::test::FaultPlatform faults;
        faults.failLock = true;
        faults.failure = qm::kErrorAccessDenied;
        const std::string told = SettingsOkTells(stayedOpen);
        EXPECT_EQ(told, WriteFailureText(IDS_SETTINGS_WRITE_FAILED, qm::kErrorAccessDenied,
                                         IsThisProcessElevated()));
        EXPECT_TRUE(stayedOpen);
    }
    EXPECT_FALSE(Exists(IniPath()));
}

// Missing rights: a standard user is told to start qmverify as
// administrator; one who runs it so already hears the file and the system's
// reason instead, which no restart would mend.
TEST(WriteNotices, AnAccessDenialAdvisesAdministratorRightsOnlyToWhoeverLacksThem) {
    SampleInstallation install;
    for (const std::string& standard :
         {WriteFailureText(IDS_SETTINGS_WRITE_FAILED, qm::kErrorAccessDenied, false),
          MissingListRefusedText(qm::kErrorAccessDenied, false)}) {
        EXPECT_NE(standard.find("qmverify needs administrator rights"), std::string::npos)
            << standard;
        EXPECT_NE(standard.find("\"Run as administrator\""), std::string::npos) << standard;
    }
    const std::string elevated =
        WriteFailureText(IDS_SETTINGS_WRITE_FAILED, qm::kErrorAccessDenied, true);
    EXPECT_EQ(elevated.find("administrator"), std::string::npos) << elevated;
    EXPECT_NE(elevated.find("\\qmverify.ini could not be written.\nReason: "), std::string::npos)
        << elevated;
    const std::string noList = MissingListRefusedText(qm::kErrorAccessDenied, true);
    EXPECT_NE(noList.find("\\qmverify.lst could not be written."), std::string::npos) << noList;
    EXPECT_EQ(noList.find("administrator"), std::string::npos) << noList;
}

// Without a list and without the right to make one, the first Compare says
// so once: no notice that the list will be made, no build, no rows.
TEST_F(WriteNoticesTest, AFirstCompareThatMayNotMakeTheListSaysSoOnceAndComparesNothing) {
    PrepareFiles();
    Open();
    qm::test::FaultPlatform faults;
    faults.failLock = true;
    faults.failure = qm::kErrorAccessDenied;
    const std::vector<std::string> told = CompareTells(1);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], MissingListRefusedText(qm::kErrorAccessDenied, IsThisProcessElevated()));
    EXPECT_EQ(m_driver.Opened(), (std::vector<std::string>{"qmverify"}));
    EXPECT_EQ(ListView_GetItemCount(m_list), 0);
    EXPECT_FALSE(Exists(ListPath()));
}

TEST_F(WriteNoticesTest, AWaitForAnotherWriterAnswersOtherProgramsAndStartsNothingOfTheirs) {
    PrepareRelease();
    Open();
    Press(IDC_COMPARE);
    const int row = RowOf("\\qmw.\\beta.dll");
    ASSERT_GE(row, 0);
    qm::CWriterLock::SetWait(std::chrono::seconds(10));
    std::unique_ptr<qm::IFileLock> other;
    ASSERT_EQ(qm::Platform().TryLockFile(qm::LockFilePath(m_install.WindowsDirectory()), other),
              0u);

    // The window's own hook, watched: the wait has begun, and it shows the
    // wait cursor.
    HANDLE waiting = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool waitCursor = false;
    std::function<void()> windowHook = qm::CWriterLock::SetWaitHook({});
    ASSERT_TRUE(windowHook);
    qm::CWriterLock::SetWaitHook([&] {
        windowHook();
        waitCursor = ::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT);
        ::SetEvent(waiting);
    });
    // Another program asks for About while the comment waits, then its
    // write ends. A window that did not look at its queue would answer only
    // after the wait.
    HWND window = m_dlg.GetSafeHwnd();
    bool answered = false;
    std::thread another([&] {
        ::WaitForSingleObject(waiting, 30000);
        DWORD_PTR answer = 0;
        answered = ::SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), 0,
                                         SMTO_NORMAL, 2000, &answer) != 0;
        other.reset();
    });
    Select({row});
    m_driver.When("Edit comment", [](HWND dialog) {
        D::SetText(dialog, IDC_COMMENT_TEXT, "after the wait");
        D::Press(dialog, IDOK);
    });
    DoubleClick(row);
    another.join();
    qm::CWriterLock::SetWaitHook(windowHook);
    ::CloseHandle(waiting);

    EXPECT_TRUE(answered) << "the window answered while its write waited";
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(m_driver.Opened(), (std::vector<std::string>{"Edit comment"})) << "no About inside";
    EXPECT_EQ(Profile(ListPath(), "qmw", "Comment" + std::to_string(EntryOf("qmw", "beta.dll"))),
              "after the wait");
    EXPECT_EQ(Cell(row, 6), "after the wait");
}

TEST_F(WriteNoticesTest, AddRefusesADirectoryPartBeforeAskingThePassword) {
    PrepareRelease();
    Open();
    const std::string list = FileContents(ListPath());
    std::string told;
    m_driver
        .When("Settings",
              [](HWND dialog) {
                  D::SetText(dialog, IDC_ADD_FILE, "..\\windows\\win.ini");
                  D::Press(dialog, IDC_ADD);
              })
        .When("qmverify",
              [&](HWND box) {
                  told = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Settings", [](HWND dialog) { D::Press(dialog, IDCANCEL); });
    Press(IDC_SETTINGS);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(told.rfind("Please enter the name of a file in the chosen directory itself", 0), 0u)
        << told;
    EXPECT_EQ(m_driver.Opened(), (std::vector<std::string>{"Settings", "qmverify"}));
    EXPECT_EQ(FileContents(ListPath()), list);
}

TEST_F(WriteNoticesTest, ABuildThatFindsNothingWritesNoListAndTheNextCompareNoticesAgain) {
    Open();
    for (int run = 0; run < 2; ++run) {
        m_driver.When("qmverify", [](HWND box) { D::Press(box, IDOK); });  // IDS_NO_RELEASE_LIST
        const std::vector<std::string> told = CompareTells(1);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].rfind("No program file was found in \\qmw or \\db1.", 0), 0u) << told[0];
        EXPECT_FALSE(Exists(ListPath()));
        EXPECT_EQ(ListView_GetItemCount(m_list), 0);
    }
}

TEST_F(WriteNoticesTest, TheBuildNamesTheFilesItCouldNotReadAndTheyAreNeverIdentical) {
    PrepareFiles();
    Open();
    // beta.dll is held open by another writer that lets nobody read it.
    const std::string beta = m_install.Root() + "qmw\\beta.dll";
    HANDLE held = ::CreateFileA(beta.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    m_driver.When("qmverify", [](HWND box) { D::Press(box, IDOK); });  // IDS_NO_RELEASE_LIST
    const std::vector<std::string> told = CompareTells(1);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].rfind("These files could not be read and were recorded with the CRC 0:\n"
                            "\\qmw.\\beta.dll\n",
                            0),
              0u)
        << told[0];
    const int row = RowOf("\\qmw.\\beta.dll");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Cell(row, 1), "Not identical");
    EXPECT_EQ(Cell(row, 2), "0");
    EXPECT_EQ(Cell(row, 4), "0");
    ::CloseHandle(held);
}

TEST_F(WriteNoticesTest, AListThatCannotBeReadIsToldInsteadOfAnEmptyComparison) {
    PrepareRelease();
    Open();
    HANDLE held = ::CreateFileA(ListPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::vector<std::string> told = CompareTells(1);
    ::CloseHandle(held);
    ASSERT_EQ(told.size(), 1u);
    // The reason the comparison carries, without a second look at the list.
    EXPECT_EQ(told[0].rfind("The release list qmverify.lst could not be read.\nNo file was "
                            "compared.\n\nReason: ",
                            0),
              0u)
        << told[0];
}

// The file's own state is told as it is: a read-only file by its attribute
// (never as missing rights, which Windows' "access denied" would suggest), a
// list beyond the limit by its size, a list with lines that are no entry
// before anything is added to it.
TEST_F(WriteNoticesTest, AFilesOwnStateIsToldAsItIsNeverAsMissingRights) {
    PrepareRelease();
    Open();
    const std::string ini = "[Config]\r\nCheckQmwFiles=1\r\nCheckDb1Files=1\r\n";
    { std::ofstream(IniPath(), std::ios::binary) << ini; }
    ASSERT_TRUE(::SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    bool stayedOpen = false;
    const std::string told = SettingsOkTells(stayedOpen);
    EXPECT_NE(told.find("qmverify.ini has the read-only attribute."), std::string::npos) << told;
    EXPECT_EQ(told.find("administrator"), std::string::npos) << told;
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(FileContents(IniPath()), ini);
    EXPECT_NE(::GetFileAttributesA(IniPath().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ::SetFileAttributesA(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string list = "[qmw]\r\nFile1=alpha.exe\r\nthis is no entry\r\n";
    { std::ofstream(ListPath(), std::ios::binary) << list; }
    std::string added;
    m_driver
        .When("Settings",
              [](HWND dialog) {
                  D::SetText(dialog, IDC_ADD_FILE, "alpha.exe");
                  D::Press(dialog, IDC_ADD);
              })
        .When("Password",
              [](HWND dialog) {
                  D::SetText(dialog, IDC_PASSWORD, kTestPassword);
                  D::Press(dialog, IDOK);
              })
        .When("qmverify",
              [&](HWND box) {
                  added = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Settings", [](HWND dialog) { D::Press(dialog, IDCANCEL); });
    Press(IDC_SETTINGS);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(added.rfind("The release list holds lines that qmverify cannot read", 0), 0u)
        << added;
    EXPECT_EQ(FileContents(ListPath()), list);

    qm::test::GrowFileTo(ListPath(), qm::kMaxWholeFileSize + 1);
    const std::vector<std::string> compared = CompareTells(1);
    ASSERT_EQ(compared.size(), 1u);
    EXPECT_NE(compared[0].find("qmverify.lst is larger than 64 MiB"), std::string::npos)
        << compared[0];
    EXPECT_EQ(ListView_GetItemCount(m_list), 0);
}

}  // namespace
