// The main window on a prepared installation, driven through its controls as
// an operator would, and read back through the list view's own messages.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "CrcForge.h"
#include "ModalDriver.h"
#include "SampleWindow.h"
#include "SystemColours.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultSort.h"
#include "core/ResultTable.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/ChildSearch.h"
#include "ui/CommentDlg.h"
#include "ui/ModalDialog.h"
#include "ui/SettingsDlg.h"
#include "ui/SettingsFlags.h"

namespace {

struct Row {
    std::string path, status, section;
    int image;
};

std::vector<Row> ReadRows(HWND list) {
    std::vector<Row> rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        LVITEMA lvi{};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = item;
        ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
        rows.push_back({ItemText(list, item, 0), ItemText(list, item, 1), ItemText(list, item, 8),
                        lvi.iImage});
    }
    return rows;
}

std::string FieldText(HWND dialog, int id) {
    char text[128] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

// Message boxes and modal dialogs are recorded instead of shown.
class MainWindowTest : public SampleWindowTest {
protected:
    MainWindowTest() : SampleWindowTest(/*withReadme=*/true) {}

    void SetUp() override {
        InstallHandlers(
            [this](HWND, const std::string& text, const std::string&, UINT type) {
                m_boxes.push_back(text);
                m_boxTypes.push_back(type);
                return IDOK;
            },
            [this](CDialog& dialog, HWND) -> INT_PTR {
                m_modals.push_back(dialog.TemplateId());
                return IDOK;
            });
    }
    void ClickCompare() {
        ::SendMessageA(m_dlg.GetDlgItem(IDC_COMPARE), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitForRunEnd());
        PumpMessages();
    }
    void ClickHeader(int column, int button = 0, UINT code = HDN_ITEMCLICKA) {
        NMHEADERA click{};
        click.hdr.hwndFrom = ListView_GetHeader(m_list);
        click.hdr.idFrom = 0;
        click.hdr.code = code;
        click.iItem = column;
        click.iButton = button;
        EXPECT_EQ(
            ::SendMessageA(m_dlg.GetSafeHwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click)), 0);
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
        for (int item = 0; item < ListView_GetItemCount(m_list); ++item) {
            texts.push_back(ItemText(m_list, item, column));
        }
        return texts;
    }

    std::vector<std::string> m_boxes;
    std::vector<UINT> m_boxTypes;
    std::vector<UINT> m_modals;
};

}  // namespace

TEST_F(MainWindowTest, StartsWithAnEmptyListOfNineColumnsAndFourStatusImages) {
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    char title[64] = "";
    ::GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Quillmark Release Check");
    EXPECT_EQ(ListView_GetItemCount(m_list), 0);

    const int widths[] = {140, 100, 80, 100, 80, 100, 400, 0, 0};
    const char* headings[] = {"Filename",
                              "Status",
                              "CRC Current",
                              "Date Current",
                              "CRC Release",
                              "Date Release",
                              "Comment",
                              "",
                              ""};
    HWND header = ListView_GetHeader(m_list);
    ASSERT_EQ(Header_GetItemCount(header), 9);
    for (int column = 0; column < 9; ++column) {
        EXPECT_EQ(ListView_GetColumnWidth(m_list, column), widths[column]) << column;
        char text[32] = "";
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column),
                       reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, headings[column]) << column;
    }
    EXPECT_EQ(ListView_GetExtendedListViewStyle(m_list),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP));

    HIMAGELIST images = ListView_GetImageList(m_list, LVSIL_SMALL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 4);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 13);
    EXPECT_EQ(cy, 13);
    EXPECT_EQ(::SendMessageA(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_COMPARE, DC_HASDEFID));
    const LRESULT icon = ::SendMessageA(window, WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(icon, 0);
    EXPECT_EQ(::SendMessageA(window, WM_QUERYDRAGICON, 0, 0), icon);
}

TEST_F(MainWindowTest, OwnerDrawnButtonsAreDrawnByTheirIconButtons) {
    Open();
    HWND compare = m_dlg.GetDlgItem(IDC_COMPARE);
    RECT rect{};
    ::GetClientRect(compare, &rect);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.right;
    info.bmiHeader.biHeight = -rect.bottom;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + rect.right * rect.bottom, 0x123456u);

    DRAWITEMSTRUCT item{ODT_BUTTON, IDC_COMPARE, 0, ODA_DRAWENTIRE, 0, compare, dc, rect, 0};
    EXPECT_EQ(::SendMessageA(m_dlg.GetSafeHwnd(), WM_DRAWITEM, IDC_COMPARE,
                             reinterpret_cast<LPARAM>(&item)),
              TRUE);
    const uint32_t face = pixels[(rect.bottom / 2) * rect.right + rect.right - 3] & 0xFFFFFFu;
    EXPECT_NE(face, 0x123456u) << "the face is painted";

    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
}

// What a screen reader says for each icon button: its text, also for About,
// whose face is the logo alone.
TEST_F(MainWindowTest, ScreenReadersNameEachIconButtonByItsText) {
    Open();
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::pair<int, const wchar_t*> buttons[] = {{IDC_COMPARE, L"Compare"},
                                                      {IDC_SETTINGS, L"Settings"},
                                                      {IDOK, L"Exit"},
                                                      {IDC_ABOUT, L"About"}};
    for (const auto& [id, name] : buttons) {
        SCOPED_TRACE(id);
        IAccessible* accessible = nullptr;
        // __uuidof: MinGW's import library gives the address of oleacc's
        // export, not the IID itself.
        ASSERT_EQ(
            ::AccessibleObjectFromWindow(m_dlg.GetDlgItem(id), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&accessible)),
            S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        EXPECT_EQ(accessible->get_accName(self, &text), S_OK);
        EXPECT_EQ(std::wstring(text != nullptr ? text : L""), name);
        ::SysFreeString(text);
        accessible->Release();
    }
    ::CoUninitialize();
}

// Windows tells every top-level window of new system colours (a high-contrast
// theme): the About button's logo takes the new face, and the old one back.
TEST_F(MainWindowTest, TheAboutLogoFollowsTheFaceColourThroughAColourChange) {
    Open();
    const CIconButton& about = *m_dlg.IconButton(IDC_ABOUT);
    auto logoCorner = [&about] {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, about.GetBitmapImage());
        const COLORREF corner = ::GetPixel(dc, 0, 0);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        return corner;
    };
    const COLORREF standardFace = ::GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(logoCorner(), standardFace);
    {
        SystemColours colours = HighContrastBlack();
        EXPECT_EQ(logoCorner(), RGB(0, 0, 0));
    }
    EXPECT_EQ(logoCorner(), standardFace);
}

TEST_F(MainWindowTest, CompareListsEveryEntryWithUpdatedFirstThenNotIdenticalThenIdentical) {
    PrepareRelease();
    Open();
    ClickCompare();

    const std::vector<Row> rows = ReadRows(m_list);
    ASSERT_EQ(rows.size(), 7u) << "five qmw files and two db1 files";
    EXPECT_EQ(rows[0].path, "\\db1.\\server.exe");
    EXPECT_EQ(rows[0].status, "Updated");
    EXPECT_EQ(rows[0].image, 2);
    EXPECT_EQ(rows[0].section, "db1");
    EXPECT_EQ(rows[1].path, "\\qmw.\\beta.dll");
    EXPECT_EQ(rows[1].status, "Not identical");
    EXPECT_EQ(rows[1].image, 1);
    for (size_t i = 2; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].status, "Identical") << rows[i].path;
        EXPECT_EQ(rows[i].image, 0) << rows[i].path;
    }
    EXPECT_EQ(ItemText(m_list, 1, 2), "9e2236dc") << "CRC-32 of \"patched of beta.dll\"";
    EXPECT_NE(ItemText(m_list, 1, 4), ItemText(m_list, 1, 2));
    EXPECT_EQ(ItemText(m_list, 2, 2), ItemText(m_list, 2, 4));
    EXPECT_EQ(m_dlg.CurrentSortState().m_nSortColumn, 1);
    EXPECT_EQ(m_dlg.CurrentSortState().m_bSortAscending, 0);
    EXPECT_TRUE(m_boxes.empty());

    ClickCompare();  // a second run replaces the rows
    EXPECT_EQ(ReadRows(m_list).size(), 7u);
}

TEST_F(MainWindowTest, CompareWithoutReleaseListTellsTheOperatorAndBuildsOne) {
    PrepareFiles();
    Open();
    ClickCompare();

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].rfind("No release file found.", 0), 0u) << m_boxes[0];
    EXPECT_EQ(m_boxTypes[0], static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_NE(::GetFileAttributesA(m_install.ReleaseListPath().c_str()), INVALID_FILE_ATTRIBUTES);
    const std::vector<Row> rows = ReadRows(m_list);
    ASSERT_EQ(rows.size(), 7u);
    for (const Row& row : rows) EXPECT_EQ(row.status, "Identical") << row.path;
}

TEST_F(MainWindowTest, HeaderClicksSortAscendingThenDescendingAndIgnoreOtherButtons) {
    PrepareRelease();
    Open();
    ClickCompare();

    ClickHeader(0);
    std::vector<std::string> names = Column(0);
    EXPECT_EQ(names.front(), "\\db1.\\client.dll");
    EXPECT_EQ(names.back(), "\\qmw.\\gamma.bat");
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(m_dlg.CurrentSortState().m_nSortColumn, 0);
    EXPECT_NE(m_dlg.CurrentSortState().m_bSortAscending, 0);

    ClickHeader(0, 0, HDN_ITEMCLICKW);  // the wide form sorts the same way
    names = Column(0);
    EXPECT_TRUE(std::is_sorted(names.rbegin(), names.rend()));
    EXPECT_EQ(m_dlg.CurrentSortState().m_bSortAscending, 0);

    ClickHeader(1, 1);  // right button: nothing changes
    EXPECT_EQ(Column(0), names);
    EXPECT_EQ(m_dlg.CurrentSortState().m_nSortColumn, 0);

    ClickHeader(1);  // Status ascending: Identical on top
    const std::vector<Row> rows = ReadRows(m_list);
    EXPECT_EQ(rows.front().status, "Identical");
    EXPECT_EQ(rows.back().status, "Updated");
    EXPECT_EQ(rows.back().image, 2) << "the image travels with its row";
}

TEST_F(MainWindowTest, SelectionTravelsWithItsRow) {
    PrepareRelease();
    Open();
    ClickCompare();
    ListView_SetItemState(m_list, 0, LVIS_SELECTED, LVIS_SELECTED);  // the Updated row
    ListView_SetItemState(m_list, 3, LVIS_FOCUSED, LVIS_FOCUSED);
    const std::string focused = ItemText(m_list, 3, 0);
    ListView_SetSelectionMark(m_list, 5);
    ClickHeader(1);
    const int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    ASSERT_EQ(selected, ListView_GetItemCount(m_list) - 1);
    EXPECT_EQ(ItemText(m_list, selected, 0), "\\db1.\\server.exe");
    EXPECT_EQ(ItemText(m_list, ListView_GetNextItem(m_list, -1, LVNI_FOCUSED), 0), focused);
    EXPECT_EQ(ListView_GetSelectionMark(m_list), 5) << "the mark stays where it was";
}

// Every file read takes a while, and from the twentieth on the reads wait
// for the gate, so that a comparison runs until the test lets it end (the
// files are read on several threads at once).
class SlowReads : public qm::test::FaultPlatform {
public:
    uint32_t OpenForReading(const std::string& path,
                            std::unique_ptr<qm::IReadFile>& file) override {
        ::Sleep(50);
        const int reads = ++m_reads;
        if (reads == 10) ::SetEvent(underWay);
        if (reads >= 20) ::WaitForSingleObject(gate, 30000);
        return FaultPlatform::OpenForReading(path, file);
    }
    HANDLE underWay = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE gate = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~SlowReads() override {
        ::CloseHandle(underWay);
        ::CloseHandle(gate);
    }

private:
    std::atomic<int> m_reads{0};
};

// The thread's messages, through the window's dialog manager, for `ms`
// milliseconds or until `done` says so.
template <class Done>
void PumpFor(HWND dialog, DWORD ms, Done done) {
    const DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < ms) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (!::IsWindow(dialog) || !::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// During a run the window is the operator's: it answers at once, counts the
// files with their total, offers Stop and nothing else that would start
// something; Esc stops the run at once, the rows so far stay, and what was
// queued for the run (a second Esc) does not close the window after it.
TEST_F(MainWindowTest, ARunLeavesTheWindowTheOperatorsAndEscStopsItAtOnce) {
    PrepareFiles();
    for (int n = 0; n < 60; ++n) m_install.WriteFile("qmw", "f" + std::to_string(n) + ".exe", "x");
    ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    SlowReads slow;
    ::SendMessageA(m_dlg.GetDlgItem(IDC_COMPARE), BM_CLICK, 0, 0);
    ASSERT_TRUE(m_dlg.RunGoesOn()) << "the click returns while the run goes on";
    PumpFor(window, 30000,
            [&] { return ::WaitForSingleObject(slow.underWay, 0) == WAIT_OBJECT_0; });
    PumpFor(window, 300, [] { return false; });

    // Another program meanwhile: answered at once, and its About starts nothing.
    DWORD_PTR answer = 0;
    BOOL answeredAbout = FALSE;
    DWORD answeredIn = 0;
    std::thread other([&] {
        const DWORD start = ::GetTickCount();
        ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        answeredIn = ::GetTickCount() - start;
        answeredAbout = ::SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED),
                                              0, SMTO_NORMAL, 10000, &answer);
    });
    PumpFor(window, 10000, [&] { return answeredAbout != FALSE; });
    other.join();
    EXPECT_LT(answeredIn, 1000u);
    EXPECT_TRUE(answeredAbout);
    EXPECT_TRUE(m_modals.empty()) << "About did not open inside the run";
    HWND group = FirstGroupBox(window);
    char text[512] = "";
    ::GetWindowTextA(group, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("Comparing ", 0), 0u) << text;
    EXPECT_NE(std::string(text).find(" of 67 files"), std::string::npos) << text;
    ::GetDlgItemTextA(window, IDC_COMPARE, text, sizeof text);
    EXPECT_STREQ(text, "S&top");
    EXPECT_FALSE(::IsWindowEnabled(m_dlg.GetDlgItem(IDC_SETTINGS)));
    EXPECT_FALSE(::IsWindowEnabled(m_dlg.GetDlgItem(IDC_ABOUT)));

    // Esc, twice: the first stops the run, the second was meant for it too.
    HWND focus = ::GetFocus();
    ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PumpFor(window, 2000, [&] { return !m_dlg.RunGoesOn(); });
    PumpFor(window, 300, [] { return false; });
    ASSERT_TRUE(::IsWindow(window)) << "the second Esc did not close the window";
    EXPECT_FALSE(m_dlg.RunGoesOn());
    EXPECT_GE(m_dlg.LastStopMilliseconds(), 0);
    EXPECT_LT(m_dlg.LastStopMilliseconds(), 100);
    const int rows = ListView_GetItemCount(m_list);
    EXPECT_LT(rows, 67);
    ::GetWindowTextA(group, text, sizeof text);
    EXPECT_EQ(std::string(text),
              "Comparison stopped: " + std::to_string(rows) + " of 67 files compared");
    ::GetDlgItemTextA(window, IDC_COMPARE, text, sizeof text);
    EXPECT_STREQ(text, "&Compare");
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.GetDlgItem(IDC_SETTINGS)));
    PumpFor(window, 500, [] { return false; });
    EXPECT_EQ(ListView_GetItemCount(m_list), rows) << "no row of the stopped run comes late";

    // Compare again: the stopped run's thread ends first, then all is read.
    ::SetEvent(slow.gate);
    ClickCompare();
    EXPECT_EQ(ListView_GetItemCount(m_list), 67);
}

// Every file named "secret" exists but may not be read, as a file of
// another user's would refuse.
class RefusingSecrets : public qm::test::FaultPlatform {
public:
    uint32_t OpenForReading(const std::string& path,
                            std::unique_ptr<qm::IReadFile>& file) override {
        if (path.find("secret") != std::string::npos) return qm::kErrorAccessDenied;
        return FaultPlatform::OpenForReading(path, file);
    }
};

// What a screen reader hears after a run: the group box, a live region,
// announces its new text.
std::vector<HWND>& AnnouncedWindows() {
    static std::vector<HWND> windows;
    return windows;
}
void CALLBACK OnLiveRegionChanged(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
    AnnouncedWindows().push_back(window);
}

// A file that cannot be read says why: in its row's tip, in Edit comment's
// status, and counted by cause in the announced summary.
TEST_F(MainWindowTest, AnUnreadFileShowsItsCauseInItsTipInEditCommentAndInTheSummary) {
    PrepareFiles();
    m_install.WriteFile("qmw", "secret.exe", "secret");
    m_install.WriteFile("qmw", "locked.dll", "locked");
    ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
    const std::string locked = (m_install.driveRoot / "qmw" / "locked.dll").string();
    HANDLE held = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RefusingSecrets refusing;
    Open();
    AnnouncedWindows().clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(0x8019, 0x8019, nullptr, OnLiveRegionChanged,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ClickCompare();
    ::CloseHandle(held);

    auto tip = [&](const std::string& path) {
        int row = 0;
        while (row < ListView_GetItemCount(m_list) && ItemText(m_list, row, 0) != path) ++row;
        char text[256] = "?";
        NMLVGETINFOTIPA info{};
        info.hdr = {m_list, IDC_RESULT_LIST, static_cast<UINT>(LVN_GETINFOTIPA)};
        info.pszText = text;
        info.cchTextMax = sizeof text;
        info.iItem = row;
        ::SendMessageA(m_dlg.GetSafeHwnd(), WM_NOTIFY, IDC_RESULT_LIST,
                       reinterpret_cast<LPARAM>(&info));
        return std::string(text);
    };
    EXPECT_EQ(tip("\\qmw.\\secret.exe"), "Not identical (no access)");
    EXPECT_EQ(tip("\\qmw.\\locked.dll"), "Not identical (held open by another program)");
    EXPECT_EQ(tip("\\qmw.\\alpha.exe"), "?") << "an identical row keeps the control's own tip";

    std::string status;
    const ModalHook recording = SetModalHook([&](CDialog& dialog, HWND) {
        if (const auto* comment = dynamic_cast<const CCommentDlg*>(&dialog)) {
            status = comment->Args().status;
        }
        return static_cast<INT_PTR>(IDCANCEL);
    });
    int row = 0;
    while (ItemText(m_list, row, 0) != "\\qmw.\\locked.dll") ++row;
    ListView_SetItemState(m_list, row, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click{};
    click.hdr = {m_list, IDC_RESULT_LIST, static_cast<UINT>(NM_DBLCLK)};
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_NOTIFY, IDC_RESULT_LIST,
                   reinterpret_cast<LPARAM>(&click));
    SetModalHook(recording);
    EXPECT_EQ(status, "Not identical (held open by another program)");

    char summary[512] = "";
    HWND group = FirstGroupBox(m_dlg.GetSafeHwnd());
    ::GetWindowTextA(group, summary, sizeof summary);
    EXPECT_NE(std::string(summary).find("\nNot read: 1 no access, 1 held open by another program."),
              std::string::npos)
        << summary;
    ::UnhookWinEvent(hook);
    EXPECT_NE(std::find(AnnouncedWindows().begin(), AnnouncedWindows().end(), group),
              AnnouncedWindows().end())
        << "the summary is announced";
}

TEST_F(MainWindowTest, AFileCraftedToKeepItsCrcAndDateShowsNotIdenticalAndIsNamed) {
    std::string program(64 * 1024, '\0');
    for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 13 >> 4);
    m_install.WriteFile("qmw", "tool.exe", program);
    ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
    const std::string path = (m_install.driveRoot / "qmw" / "tool.exe").string();
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &before));
    m_install.WriteFile("qmw", "tool.exe", qm::test::CraftedLike(program));
    HANDLE file =
        ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &before.ftLastWriteTime);
    ::CloseHandle(file);

    Open();
    ClickCompare();
    const std::vector<Row> rows = ReadRows(m_list);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].status, "Not identical");
    EXPECT_EQ(rows[0].image, 1);
    EXPECT_EQ(ItemText(m_list, 0, 2), ItemText(m_list, 0, 4)) << "the CRC-32 is kept";
    EXPECT_EQ(ItemText(m_list, 0, 3), ItemText(m_list, 0, 5)) << "and so is the date";
    char summary[512] = "";
    ::GetWindowTextA(FirstGroupBox(m_dlg.GetSafeHwnd()), summary, sizeof summary);
    EXPECT_NE(std::string(summary).find("\nCRC-32 kept, content changed: \\qmw.\\tool.exe."),
              std::string::npos)
        << summary;
}

TEST_F(MainWindowTest, PlantedFilesShowAsNotListedWhileTheirFlagIsSetAndOpenNoCommentDialog) {
    PrepareRelease();
    m_install.WriteFile("qmw", "planted.dll", "planted");
    m_install.WriteFile("db1", "planted.exe", "planted");
    Open();  // no settings file: both flags are set
    ClickCompare();
    std::vector<Row> rows = ReadRows(m_list);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].status, "Updated");
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(rows[i].status, "Not listed");
        EXPECT_EQ(rows[i].image, 3);
        EXPECT_EQ(ItemText(m_list, static_cast<int>(i), 4), "") << "nothing recorded";
        EXPECT_EQ(ItemText(m_list, static_cast<int>(i), 7), "") << "no entry";
    }
    EXPECT_EQ(rows[3].status, "Not identical");
    char summary[512] = "";
    ::GetWindowTextA(FirstGroupBox(m_dlg.GetSafeHwnd()), summary, sizeof summary);
    // The summary names the directories compared, with their drive.
    const std::string root = m_install.Root();
    EXPECT_EQ(std::string(summary),
              "Last comparison of " + root + "qmw and " + root +
                  "db1: 9 files compared, 5 identical, 1 not identical, 1 updated, 2 not listed")
        << summary;

    // A double-click on such a row says how to record the file instead.
    ListView_SetItemState(m_list, 1, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = m_list;
    click.hdr.idFrom = IDC_RESULT_LIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = 1;
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_NOTIFY, IDC_RESULT_LIST,
                   reinterpret_cast<LPARAM>(&click));
    EXPECT_TRUE(m_modals.empty()) << "no Edit comment dialog";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find("Settings, Add"), std::string::npos) << m_boxes[0];

    // With the QMW flag cleared, \qmw is not searched for such files.
    ProcessSettingsFlags().checkQmw = 0;
    ClickCompare();
    rows = ReadRows(m_list);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[1].path, "\\db1.\\planted.exe");
    EXPECT_EQ(rows[1].status, "Not listed");
    ProcessSettingsFlags().checkQmw = 1;
}

// From the keyboard alone: Enter in the list opens Edit comment for the row
// with the focus and leaves the window open; Enter elsewhere still presses
// the default button (Compare), and Esc still ends the window.
TEST_F(MainWindowTest, EnterOnARowOpensEditCommentAndElsewhereKeepsItsMeaning) {
    PrepareRelease();
    Open();
    ClickCompare();
    HWND window = m_dlg.GetSafeHwnd();
    std::vector<std::string> opened;
    const ModalHook recording = SetModalHook([&](CDialog& dialog, HWND) {
        if (const auto* comment = dynamic_cast<const CCommentDlg*>(&dialog)) {
            opened.push_back(comment->Args().fileName);
        }
        return static_cast<INT_PTR>(IDCANCEL);
    });
    ListView_SetItemState(m_list, 1, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(m_list, 3, LVIS_FOCUSED, LVIS_FOCUSED);
    ::SetFocus(m_list);
    PressKey(window, VK_RETURN);
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(opened, (std::vector<std::string>{ItemText(m_list, 3, 0)}));
    SetModalHook(recording);

    m_install.WriteFile("qmw", "alpha.exe", "changed");
    ::SetFocus(m_dlg.GetDlgItem(IDC_QMW_RELEASE));
    PressKey(window, VK_RETURN);
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_TRUE(WaitForRunEnd());
    const std::vector<Row> rows = ReadRows(m_list);
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const Row& row) {
        return row.path == "\\qmw.\\alpha.exe" && row.status == "Not identical";
    })) << "Enter compared again";

    ::SetFocus(m_list);
    PressKey(window, VK_ESCAPE);
    EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr);
}

// Enter on a focused button presses that button, as Space does, and not the
// default button: Settings and About open their dialogs without a Compare,
// Exit ends the window.
TEST_F(MainWindowTest, EnterOnAFocusedButtonPressesThatButton) {
    PrepareRelease();
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    std::vector<std::string> opened;
    const ModalHook recording = SetModalHook([&](CDialog& dialog, HWND) {
        opened.push_back(dynamic_cast<const CSettingsDlg*>(&dialog) != nullptr ? "settings"
                         : dynamic_cast<const CAboutDlg*>(&dialog) != nullptr  ? "about"
                                                                               : "other");
        return static_cast<INT_PTR>(IDCANCEL);
    });
    for (int button : {IDC_SETTINGS, IDC_ABOUT}) {
        ::SetFocus(m_dlg.GetDlgItem(button));
        PressKey(window, VK_RETURN);
    }
    SetModalHook(recording);
    EXPECT_EQ(opened, (std::vector<std::string>{"settings", "about"}));
    EXPECT_EQ(ListView_GetItemCount(m_list), 0) << "Enter compared";

    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    PressKey(window, VK_RETURN);
    EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr);
}

TEST_F(MainWindowTest, SystemMenuEndsWithAboutAndItsCommandRangeOpensTheAboutBox) {
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    HMENU menu = ::GetSystemMenu(window, FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = "";
    ::GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "About qmverify...");
    EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));

    ::SendMessageA(window, WM_SYSCOMMAND, 0x0010, 0);
    ::SendMessageA(window, WM_SYSCOMMAND, 0x001F, 0);
    ::SendMessageA(window, WM_SYSCOMMAND, 0x0020, 0);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_ABOUT, BN_CLICKED), 0);
    EXPECT_EQ(m_modals, (std::vector<UINT>{IDD_ABOUTBOX, IDD_ABOUTBOX, IDD_ABOUTBOX}));
    EXPECT_TRUE(::IsWindow(window));
}

TEST_F(MainWindowTest, InstalledReleaseFieldsForAPresentAndAnAbsentProduct) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark\\Quillmark Works", 0,
                                nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char date[] = "05-12-2004";
    const char time[] = "14:30:00";
    const DWORD major = 3, minor = 1;
    ::RegSetValueExA(key, "Installation Date", 0, REG_SZ, reinterpret_cast<const BYTE*>(date),
                     sizeof date);
    ::RegSetValueExA(key, "Installation Time", 0, REG_SZ, reinterpret_cast<const BYTE*>(time),
                     sizeof time);
    ::RegSetValueExA(key, "Version_Major", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major), 4);
    ::RegSetValueExA(key, "Version_Minor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minor), 4);
    ::RegCloseKey(key);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark\\Quillmark Sentinel");

    Open();
    HWND window = m_dlg.GetSafeHwnd();
    EXPECT_EQ(FieldText(window, IDC_QMW_RELEASE), "3.1");
    EXPECT_EQ(FieldText(window, IDC_QMW_DATE), "12.05.2004 14:30:00");
    EXPECT_EQ(FieldText(window, IDC_SENTINEL_RELEASE), "");
    EXPECT_EQ(FieldText(window, IDC_SENTINEL_DATE), "");

    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark\\Quillmark Works");
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark");
}

TEST_F(MainWindowTest, SettingsFlagsAreReadWhileTheWindowInitialises) {
    ProcessSettingsFlags() = {7, 7};
    Open();
    EXPECT_EQ(ProcessSettingsFlags().checkQmw, 1) << "no settings file";
    EXPECT_EQ(ProcessSettingsFlags().checkDb1, 1);
    m_dlg.DestroyWindow();

    ASSERT_TRUE(::WritePrivateProfileStringA(
        "Config", "CheckDb1Files", "0", (m_install.WindowsDirectory() + "\\qmverify.ini").c_str()));
    Open();
    EXPECT_EQ(ProcessSettingsFlags().checkQmw, 1);
    EXPECT_EQ(ProcessSettingsFlags().checkDb1, 0);
}

TEST_F(MainWindowTest, ExitEscapeAndCloseBoxEndTheDialog) {
    for (UINT id : {IDOK, IDCANCEL}) {
        Open();
        ::SendMessageA(m_dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr) << id;
    }
    Open();
    ::SendMessageA(m_dlg.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();  // the close box posts IDCANCEL
    EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr);
}

TEST(MainWindowIcon, MinimisedIconIsCentredWithTheHalfPixelRoundedUp) {
    const POINT even = CCheckerDlg::IconPosition({0, 0, 160, 40}, 32, 32);
    EXPECT_EQ(even.x, 64);
    EXPECT_EQ(even.y, 4);
    const POINT odd = CCheckerDlg::IconPosition({0, 0, 161, 39}, 32, 32);
    EXPECT_EQ(odd.x, 65);
    EXPECT_EQ(odd.y, 4);
    const POINT tooSmall = CCheckerDlg::IconPosition({0, 0, 10, 0}, 32, 32);
    EXPECT_EQ(tooSmall.x, -10) << "(10 - 32 + 1) / 2 truncates toward zero";
    EXPECT_EQ(tooSmall.y, -15);
}
