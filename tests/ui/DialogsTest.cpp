// The secondary dialogs as the operator meets them: Edit comment from a
// double-click, Settings with its flags, Add and Update Release Data, the
// password and its message boxes, and the About box. Every dialog and box is
// the real one, run modally and driven through its controls.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DialogFixture.h"
#include "TestPassword.h"
#include "ui/SettingsDlg.h"

namespace {

using Captions = std::vector<std::string>;
using D = ModalDriver;

HWND ChildWithText(HWND dialog, const std::string& text) {
    struct Search {
        std::string text;
        HWND found;
    } search{text, nullptr};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            char buffer[256] = "";
            ::GetWindowTextA(child, buffer, sizeof buffer);
            if (s.text == buffer) s.found = child;
            return s.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class CommentDialogTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        PrepareRelease();
        Open();
        Press(IDC_COMPARE);
        ASSERT_EQ(Rows().size(), 7u);
        m_beta = RowOf("\\qmw.\\beta.dll");
        m_server = RowOf("\\db1.\\server.exe");
        ASSERT_EQ(m_server, 0);
        ASSERT_EQ(m_beta, 1);
    }
    int m_beta = -1;
    int m_server = -1;
};

TEST_F(CommentDialogTest, OkStoresCommentAndMarkOfTheFirstSelectedRowAndUpdatesIt) {
    const int n = EntryOf("qmw", "beta.dll");
    ASSERT_GT(n, 0);
    std::string name, date, comment;
    int checked = -1;
    LRESULT limit = 0;
    m_driver.When("Edit comment", [&](HWND dialog) {
        name = D::Text(dialog, IDC_COMMENT_FILENAME);
        date = D::Text(dialog, IDC_COMMENT_DATE);
        comment = D::Text(dialog, IDC_COMMENT_TEXT);
        checked = D::Checked(dialog, IDC_COMMENT_UPDATED);
        limit = ::SendDlgItemMessageA(dialog, IDC_COMMENT_TEXT, EM_GETLIMITTEXT, 0, 0);
        D::SetText(dialog, IDC_COMMENT_TEXT, "patched\r\nby hand");
        D::SetChecked(dialog, IDC_COMMENT_UPDATED, true);
        D::Press(dialog, IDOK);
    });
    const Row untouched = RowAt(4);
    Select({4, m_beta});  // the double-click hits row 4, the dialog takes row 1
    DoubleClick(4);

    EXPECT_EQ(m_driver.Opened(), Captions{"Edit comment"});
    EXPECT_EQ(name, "\\qmw.\\beta.dll");
    EXPECT_EQ(date, Cell(m_beta, 3)) << "the current date, not the release date";
    EXPECT_EQ(comment, "");
    EXPECT_EQ(checked, 0) << "a Not identical row opens unmarked";
    EXPECT_EQ(limit, 511);

    EXPECT_EQ(Profile(ListPath(), "qmw", "Comment" + std::to_string(n)), "patched by hand")
        << "one line in the release list";
    EXPECT_EQ(Profile(ListPath(), "qmw", "Updated" + std::to_string(n)), "1");
    EXPECT_EQ(RowAt(m_beta), (Row{"\\qmw.\\beta.dll", "Updated", "patched by hand", 2}));
    EXPECT_EQ(RowAt(4), untouched);
}

TEST_F(CommentDialogTest, CancelWritesNothingAndLeavesTheRowAsItWas) {
    const std::string list = FileContents(ListPath());
    const Row before = RowAt(m_server);
    int checked = -1;
    m_driver.When("Edit comment", [&](HWND dialog) {
        checked = D::Checked(dialog, IDC_COMMENT_UPDATED);
        D::SetText(dialog, IDC_COMMENT_TEXT, "never stored");
        D::SetChecked(dialog, IDC_COMMENT_UPDATED, false);
        D::Press(dialog, IDCANCEL);
    });
    Select({m_server});
    DoubleClick(m_server);

    EXPECT_EQ(checked, 1) << "an Updated row opens marked";
    EXPECT_EQ(FileContents(ListPath()), list);
    EXPECT_EQ(RowAt(m_server), before);
}

TEST_F(CommentDialogTest, NothingOpensWithoutASelection) {
    Select({});
    DoubleClick(2);
    EXPECT_TRUE(m_driver.Opened().empty());
}

TEST_F(CommentDialogTest, AnEntryThatNamesAnotherFileNowAsksToCompareAgain) {
    // Rebuilt without alpha.exe: beta.dll moves to alpha's number.
    ::DeleteFileA((m_install.Root() + "qmw\\alpha.exe").c_str());
    ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
    const std::string list = FileContents(ListPath());
    const Row before = RowAt(m_beta);
    std::string told;
    m_driver
        .When("Edit comment",
              [&](HWND dialog) {
                  D::SetText(dialog, IDC_COMMENT_TEXT, "for the wrong file");
                  D::SetChecked(dialog, IDC_COMMENT_UPDATED, true);
                  D::Press(dialog, IDOK);
              })
        .When("qmverify", [&](HWND box) {
            told = D::MessageText(box);
            D::Press(box, IDOK);
        });
    Select({m_beta});
    DoubleClick(m_beta);

    EXPECT_EQ(m_driver.Opened(), (Captions{"Edit comment", "qmverify"}));
    EXPECT_NE(told.find("Please compare again"), std::string::npos) << told;
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_FALSE(m_driver.TimedOut()) << "the dialog closes by itself";
    EXPECT_EQ(FileContents(ListPath()), list);
    EXPECT_EQ(RowAt(m_beta), before);
}

TEST_F(CommentDialogTest, AFailedWriteIsToldAndTheDialogStaysOpen) {
    // The release list is saved through a new temporary file; folders of
    // every name it could take make every save fail.
    BlockFreshNames(ListPath() + ".tmp");
    const std::string list = FileContents(ListPath());
    const Row before = RowAt(m_beta);
    std::string told, keptText;
    m_driver
        .When("Edit comment",
              [&](HWND dialog) {
                  D::SetText(dialog, IDC_COMMENT_TEXT, "cannot be stored");
                  D::SetChecked(dialog, IDC_COMMENT_UPDATED, true);
                  D::Press(dialog, IDOK);
              })
        .When("qmverify",
              [&](HWND box) {
                  told = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Edit comment", [&](HWND dialog) {
            keptText = D::Text(dialog, IDC_COMMENT_TEXT);
            D::Press(dialog, IDCANCEL);
        });
    Select({m_beta});
    DoubleClick(m_beta);

    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(told.rfind("The comment could not be written", 0), 0u) << told;
    EXPECT_EQ(keptText, "cannot be stored");
    EXPECT_EQ(FileContents(ListPath()), list);
    EXPECT_EQ(RowAt(m_beta), before) << "Cancel after the failure: the row as it was";
}

class SettingsDialogTest : public DialogFixture {
protected:
    void OpenSettings() { Press(IDC_SETTINGS); }
    static int Directory(HWND dialog) {
        return static_cast<int>(::SendDlgItemMessageA(dialog, IDC_DIRECTORY, CB_GETCURSEL, 0, 0));
    }
};

TEST_F(SettingsDialogTest, FlagsRoundTripThroughTheFileOnOkAndStayOnCancel) {
    Open();
    struct Seen {
        int qmw, db1, directory;
        std::string name, directoryText;
    };
    std::vector<Seen> seen;
    auto look = [&](HWND dialog) {
        char text[16] = "";
        ::GetDlgItemTextA(dialog, IDC_DIRECTORY, text, sizeof text);
        seen.push_back({D::Checked(dialog, IDC_CHECK_QMW), D::Checked(dialog, IDC_CHECK_DB1),
                        Directory(dialog), D::Text(dialog, IDC_ADD_FILE), text});
    };

    m_driver.When("Settings", [&](HWND dialog) {
        look(dialog);
        D::SetChecked(dialog, IDC_CHECK_QMW, false);
        D::Press(dialog, IDOK);
    });
    OpenSettings();
    EXPECT_EQ(Profile(IniPath(), "Config", "CheckQmwFiles"), "0");
    EXPECT_EQ(Profile(IniPath(), "Config", "CheckDb1Files"), "1") << "both keys on every OK";
    EXPECT_EQ(ProcessSettingsFlags().checkQmw, 0);
    EXPECT_EQ(ProcessSettingsFlags().checkDb1, 1);

    const std::string ini = FileContents(IniPath());
    m_driver.When("Settings", [&](HWND dialog) {
        look(dialog);
        D::SetChecked(dialog, IDC_CHECK_QMW, true);
        D::SetChecked(dialog, IDC_CHECK_DB1, false);
        ::SendDlgItemMessageA(dialog, IDC_DIRECTORY, CB_SETCURSEL, 1, 0);
        D::SetText(dialog, IDC_ADD_FILE, "typed.exe");
        D::Press(dialog, IDCANCEL);
    });
    OpenSettings();
    EXPECT_EQ(FileContents(IniPath()), ini);
    EXPECT_EQ(ProcessSettingsFlags().checkQmw, 0);
    EXPECT_EQ(ProcessSettingsFlags().checkDb1, 1);

    // The flags in memory, not the file, are what the dialog shows.
    ProcessSettingsFlags() = {1, 0};
    m_driver.When("Settings", [&](HWND dialog) {
        look(dialog);
        D::Press(dialog, IDCANCEL);
    });
    OpenSettings();

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].qmw, 1) << "no settings file: both checked";
    EXPECT_EQ(seen[0].db1, 1);
    EXPECT_EQ(seen[1].qmw, 0);
    EXPECT_EQ(seen[1].db1, 1);
    EXPECT_EQ(seen[2].qmw, 1);
    EXPECT_EQ(seen[2].db1, 0);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.directory, 0) << "QMW on every opening";
        EXPECT_EQ(s.directoryText, "QMW");
        EXPECT_EQ(s.name, "");
    }
}

TEST_F(SettingsDialogTest, AFailedSettingsWriteIsToldAndKeepsTheFlags) {
    Open();
    BlockFreshNames(IniPath() + ".tmp");
    std::string told;
    bool stillOpen = false;
    m_driver
        .When("Settings",
              [&](HWND dialog) {
                  D::SetChecked(dialog, IDC_CHECK_DB1, false);
                  D::Press(dialog, IDOK);
              })
        .When("qmverify",
              [&](HWND box) {
                  told = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Settings", [&](HWND dialog) {
            stillOpen = D::Checked(dialog, IDC_CHECK_DB1) == 0;
            D::Press(dialog, IDCANCEL);
        });
    OpenSettings();

    EXPECT_EQ(m_driver.Pending(), 0u);
    // The system's reason follows the message.
    EXPECT_EQ(told.rfind("The settings could not be written to qmverify.ini.\n\nReason: ", 0), 0u)
        << told;
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(ProcessSettingsFlags().checkDb1, 1);
    EXPECT_FALSE(Exists(IniPath()));
}

TEST_F(SettingsDialogTest, AddWithoutANameChangesNothingAndAnAddStaysAfterCancel) {
    PrepareRelease();
    Open();
    m_install.WriteFile("db1", "extra.dll", "extra");
    const std::string list = FileContents(ListPath());
    std::string afterEmptyAdd, keyMade;
    m_driver.When("Settings", [&](HWND dialog) { D::Press(dialog, IDC_ADD); })
        .When("Settings",
              [&](HWND dialog) {
                  afterEmptyAdd = FileContents(ListPath());
                  D::SetText(dialog, IDC_ADD_FILE, "extra.dll");
                  ::SendDlgItemMessageA(dialog, IDC_DIRECTORY, CB_SETCURSEL, 1, 0);
                  D::Press(dialog, IDC_ADD);
              })
        .When("Password",
              [&](HWND dialog) {
                  D::SetText(dialog, IDC_PASSWORD, kTestPassword);
                  D::Press(dialog, IDOK);
              })
        .When("qmverify",
              [&](HWND box) {
                  keyMade = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Settings", [&](HWND dialog) { D::Press(dialog, IDCANCEL); });
    OpenSettings();

    // An empty name asks for nothing; a name asks for the password only, and
    // the main window adds the file (the first signed write, which makes the
    // site's key and tells its fingerprint) and opens Settings again as it
    // was.
    EXPECT_EQ(m_driver.Opened(), (Captions{"Settings", "Password", "qmverify", "Settings"}));
    EXPECT_EQ(keyMade, KeyMadeText()) << keyMade;
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(afterEmptyAdd, list);
    EXPECT_EQ(EntryOf("db1", "extra.dll"), 3) << "after server.exe and client.dll";
    EXPECT_EQ(Profile(ListPath(), "db1", "Updated3"), "0");
    EXPECT_EQ(Profile(ListPath(), "db1", "Comment3"), "<missing>");
    EXPECT_EQ(EntryOf("qmw", "extra.dll"), 0);
}

TEST_F(SettingsDialogTest, WrongOrMistypedPasswordIsRefusedAndCancelShowsNothing) {
    PrepareRelease();
    Open();
    const std::string list = FileContents(ListPath());
    struct Attempt {
        std::string typed;
        int pressed;
    };
    for (const Attempt& attempt :
         {Attempt{"secret", IDOK}, Attempt{"", IDOK}, Attempt{MistypedTestPassword(), IDOK},
          Attempt{kTestPassword, IDCANCEL}}) {
        SCOPED_TRACE(attempt.typed);
        ModalDriver& driver = m_driver;
        driver.ForgetOpened();
        std::string told, startedWith;
        bool masked = false, onlyOk = false;
        HWND settings = nullptr, boxOwner = nullptr;
        driver
            .When("Settings",
                  [&](HWND dialog) {
                      settings = dialog;
                      D::Press(dialog, IDC_UPDATE_RELEASE_DATA);
                  })
            .When("Password", [&](HWND dialog) {
                startedWith = D::Text(dialog, IDC_PASSWORD);
                masked = (::GetWindowLongA(::GetDlgItem(dialog, IDC_PASSWORD), GWL_STYLE) &
                          ES_PASSWORD) != 0;
                D::SetText(dialog, IDC_PASSWORD, attempt.typed);
                D::Press(dialog, attempt.pressed);
            });
        if (attempt.pressed == IDOK) {
            driver.When("Error", [&](HWND box) {
                told = D::MessageText(box);
                boxOwner = ::GetWindow(box, GW_OWNER);
                onlyOk = ::GetDlgItem(box, IDOK) != nullptr && ::GetDlgItem(box, IDNO) == nullptr;
                D::Press(box, IDOK);
            });
        }
        driver.When("Settings", [&](HWND dialog) { D::Press(dialog, IDCANCEL); });
        OpenSettings();

        EXPECT_EQ(driver.Pending(), 0u);
        EXPECT_EQ(startedWith, "");
        EXPECT_TRUE(masked);
        if (attempt.pressed == IDOK) {
            EXPECT_EQ(driver.Opened(), (Captions{"Settings", "Password", "Error"}));
            EXPECT_EQ(told, "The entered password is not valid !");
            EXPECT_TRUE(onlyOk);
            EXPECT_EQ(boxOwner, settings) << "the warning holds Settings back";
        } else {
            EXPECT_EQ(driver.Opened(), (Captions{"Settings", "Password"}));
        }
        EXPECT_EQ(FileContents(ListPath()), list);
        EXPECT_FALSE(Exists(BackupPath()));
    }
}

TEST_F(SettingsDialogTest, RightPasswordThenNoChangesNothingAndYesRebuildsTheList) {
    PrepareRelease();
    Open();
    Press(IDC_COMPARE);
    const std::vector<Row> rows = Rows();
    const std::string list = FileContents(ListPath());

    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        ModalDriver& driver = m_driver;
        driver.ForgetOpened();
        std::string asked;
        bool yesIsDefault = false;
        bool settingsStayed = false;
        HWND settings = nullptr, boxOwner = nullptr;
        const std::string groupBefore = GroupText();
        driver
            .When("Settings",
                  [&](HWND dialog) {
                      settings = dialog;
                      D::Press(dialog, IDC_UPDATE_RELEASE_DATA);
                  })
            .When("Password",
                  [&](HWND dialog) {
                      D::SetText(dialog, IDC_PASSWORD, kTestPassword);
                      D::Press(dialog, IDOK);
                  })
            .When("Please confirm...", [&](HWND box) {
                asked = D::MessageText(box);
                boxOwner = ::GetWindow(box, GW_OWNER);
                HWND yes = ::GetDlgItem(box, IDYES);
                yesIsDefault = (::GetWindowLongA(yes, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON &&
                               D::GetsFocus(yes);
                D::Press(box, answer);
            });
        // No leaves Settings open; Yes hands the build to the main window.
        // Yes: the build is the first signed write, which tells the new key.
        if (answer == IDNO) {
            driver.When("Settings", [&](HWND dialog) {
                settingsStayed = true;
                D::Press(dialog, IDCANCEL);
            });
        } else {
            driver.When("qmverify", [](HWND box) { D::Press(box, IDOK); });
        }
        OpenSettings();

        EXPECT_EQ(driver.Pending(), 0u);
        EXPECT_EQ(asked, "Update the release list now ?");
        EXPECT_TRUE(yesIsDefault);
        EXPECT_EQ(boxOwner, settings) << "the question holds Settings back";
        EXPECT_EQ(settingsStayed, answer == IDNO);
        Captions opened{"Settings", "Password", "Please confirm..."};
        if (answer == IDYES) opened.push_back("qmverify");
        EXPECT_EQ(driver.Opened(), opened) << "no other box when the build ends";
        EXPECT_EQ(Rows(), rows) << "the main window keeps its rows";
        EXPECT_EQ(GroupText(), answer == IDNO ? groupBefore
                                              : "Release list recorded: 7 files. The previous "
                                                "list is kept as qmverify.l01.");
    }
    EXPECT_EQ(FileContents(BackupPath()), list);
    EXPECT_EQ(Profile(ListPath(), "db1", "Updated" + std::to_string(EntryOf("db1", "server.exe"))),
              "0")
        << "the new list records the files as they are";
    EXPECT_NE(FileContents(ListPath()), list);
}

TEST_F(SettingsDialogTest, ABuildThatCannotWriteIsTold) {
    PrepareRelease();
    Open();
    const std::string list = FileContents(ListPath());
    BlockFreshNames(m_install.WindowsDirectory() + "\\qmverify.new");
    std::string told;
    ExpectConfirmedUpdate().When("qmverify", [&](HWND box) {
        told = D::MessageText(box);
        D::Press(box, IDOK);
    });
    OpenSettings();

    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(told.rfind("The new release list could not be written", 0), 0u) << told;
    EXPECT_EQ(FileContents(ListPath()), list);
    EXPECT_FALSE(Exists(BackupPath()));
}

class AboutBoxTest : public DialogFixture {};

TEST_F(AboutBoxTest, OpensFromTheButtonAndTheSystemMenuRange) {
    Open();
    struct Look {
        bool icon, title, logo, okDefault;
    };
    std::vector<Look> looks;
    auto look = [&](HWND dialog) {
        HWND title = ChildWithText(dialog, "Quillmark Release Checker Version 1.0");
        HWND ok = ::GetDlgItem(dialog, IDOK);
        bool logo = false, icon = false;
        std::pair<bool*, bool*> found(&logo, &icon);
        ::EnumChildWindows(
            dialog,
            [](HWND child, LPARAM param) -> BOOL {
                auto* found = reinterpret_cast<std::pair<bool*, bool*>*>(param);
                if (::SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0) *found->first = true;
                if (::SendMessageA(child, STM_GETICON, 0, 0) != 0) *found->second = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        looks.push_back(
            {icon, title != nullptr, logo,
             ok != nullptr && LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)) == IDOK});
    };
    m_driver
        .When("About Qmverify",
              [&](HWND dialog) {
                  look(dialog);
                  D::Press(dialog, IDOK);
              })
        .When("About Qmverify",
              [&](HWND dialog) {
                  look(dialog);
                  D::Press(dialog, IDCANCEL);  // Escape
              })
        .When("About Qmverify", [&](HWND dialog) { D::Press(dialog, IDOK); });

    Press(IDC_ABOUT);
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_SYSCOMMAND, 0x0010, 0);
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_SYSCOMMAND, 0x001F, 0);
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_SYSCOMMAND, 0x0020, 0);

    EXPECT_EQ(m_driver.Opened(), (Captions{"About Qmverify", "About Qmverify", "About Qmverify"}));
    EXPECT_EQ(m_driver.Pending(), 0u);
    ASSERT_EQ(looks.size(), 2u);
    for (const Look& l : looks) {
        EXPECT_TRUE(l.icon);
        EXPECT_TRUE(l.title);
        EXPECT_TRUE(l.logo);
        EXPECT_TRUE(l.okDefault);
    }
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.GetSafeHwnd()));
}

}  // namespace
