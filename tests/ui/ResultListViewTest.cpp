// The result list carried out on a real list view control: the same rows,
// the same sort, the same outcome as on the plain table. The control is an
// owner-data list view, as in the main window, showing the rows of a table.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ResultSort.h"
#include "core/ResultTable.h"
#include "ui/ListView.h"
#include "ui/ResultListView.h"

namespace {

class ResultListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        HWND window =
            ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_OWNERDATA, 0, 0, 600,
                              300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        m_list.Attach(window);
        for (int column = 0; column < qm::kColumnCount; ++column) {
            m_list.InsertColumn(column, "c" + std::to_string(column), LVCFMT_LEFT, 60);
        }
    }
    void TearDown() override { ::DestroyWindow(m_list.Detach()); }

    // A compared file of `path` with `crc` as its CRC now.
    static qm::ComparedFile File(const std::string& path, qm::FileStatus status = qm::Identical,
                                 const std::string& crc = "0", int entry = 1) {
        qm::ComparedFile file;
        file.path = path;
        file.status = status;
        file.crcNow = crc;
        file.entry = entry;
        return file;
    }
    void Add(CResultListView& rows, qm::ComparedFile file) {
        std::vector<qm::ComparedFile> files{std::move(file)};
        rows.AddAtTop(files);
    }

    CListCtrl m_list;
    qm::CResultTable m_shownRows;  // the rows the control shows
};

}  // namespace

TEST_F(ResultListViewTest, RowsGoInAtTheTopInTheOrderGivenWithTheSelectionMovingDown) {
    CResultListView rows(m_list, m_shownRows);
    std::vector<qm::ComparedFile> files{File("a"), File("b")};
    rows.AddAtTop(files);
    EXPECT_TRUE(files.empty());
    ListView_SetItemState(m_list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Add(rows, File("c"));
    EXPECT_EQ(m_list.GetItemCount(), 3);
    EXPECT_EQ(m_shownRows.CellText(0, qm::kColFileName), "c");
    EXPECT_EQ(m_shownRows.CellText(2, qm::kColFileName), "a");
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_FOCUSED), 2);
    rows.Clear();
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

// The control sorts the table as the plain sort does, and the focus and
// selection go with their rows.
TEST_F(ResultListViewTest, SortOnTheControlMatchesTheSortOnThePlainTable) {
    CResultListView rows(m_list, m_shownRows);
    qm::CResultTable table;
    const char* crcs[] = {"1a", "f", "10", "ffffffff", "1a", "0", "9", "Zeta", "alpha", "1a"};
    int n = 0;
    for (const char* crc : crcs) {
        const qm::ComparedFile file = File(std::string("\\qmw.\\file") + crc + ".exe",
                                           static_cast<qm::FileStatus>(n % 3), crc, n + 1);
        Add(rows, file);
        table.AddAtTop(file);
        ++n;
    }
    ListView_SetItemState(m_list, 4, LVIS_SELECTED, LVIS_SELECTED);
    const std::string selected = m_shownRows.CellText(4, qm::kColFileName);
    qm::SortState shown, plain;
    for (int column : {qm::kColFileName, qm::kColCrcCurrent, qm::kColEntry, qm::kColEntry}) {
        rows.SortOnHeaderClick(shown, column, 0);
        qm::SortOnHeaderClick(table, plain, column, 0);
        for (int row = 0; row < table.RowCount(); ++row) {
            for (int cell = 0; cell < qm::kColumnCount; ++cell) {
                EXPECT_EQ(m_shownRows.CellText(row, cell), table.CellText(row, cell))
                    << "column " << column << " row " << row;
            }
        }
        const int now = m_list.GetNextItem(-1, LVNI_SELECTED);
        EXPECT_EQ(m_shownRows.CellText(now, qm::kColFileName), selected);
    }
}

// What the control asks as it paints, or as another program reads a cell.
TEST_F(ResultListViewTest, AnswersGiveTextsCutToTheBufferAndImageAndStateOfTheItemOnly) {
    CResultListView rows(m_list, m_shownRows);
    Add(rows, File("\\qmw.\\alpha.exe", qm::Updated));
    m_shownRows.Rows()[0].state = 0x1200;  // an overlay and a state image index

    char text[8] = "";
    NMLVDISPINFOA a{};
    a.item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
    a.item.stateMask = CResultListView::kCallbackState;
    a.item.pszText = text;
    a.item.cchTextMax = sizeof text;
    rows.AnswerDispInfo(a);
    EXPECT_STREQ(text, "\\qmw.\\a") << "cut to the buffer, terminator included";
    EXPECT_EQ(a.item.iImage, 2);
    EXPECT_EQ(a.item.state, 0x1200u);
    EXPECT_EQ(a.item.lParam, 0);

    wchar_t wide[32] = L"";
    NMLVDISPINFOW w{};
    w.item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    w.item.iSubItem = qm::kColStatus;
    w.item.stateMask = CResultListView::kCallbackState;
    w.item.pszText = wide;
    w.item.cchTextMax = 32;
    w.item.iImage = 7;
    rows.AnswerDispInfo(w);
    EXPECT_STREQ(wide, L"Updated");
    EXPECT_EQ(w.item.iImage, 0) << "a subitem has no image of its own";
    EXPECT_EQ(w.item.state, 0u);

    a.item.iItem = 1;  // no such row
    a.item.iSubItem = 0;
    rows.AnswerDispInfo(a);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(a.item.iImage, 0);
}

TEST_F(ResultListViewTest, SearchesMatchTheBeginningWithoutCaseAndWrapWhenAsked) {
    CResultListView rows(m_list, m_shownRows);
    for (const char* name : {"\\qmw.\\Beta.dll", "\\db1.\\server.exe", "\\qmw.\\alpha.exe"}) {
        Add(rows, File(name));
    }
    // Rows: alpha, server, Beta.
    NMLVFINDITEMA find{};
    find.lvfi.flags = LVFI_PARTIAL | LVFI_WRAP;
    find.lvfi.psz = "\\QMW";
    find.iStart = 1;
    EXPECT_EQ(rows.FindRow(find), 2) << "from the start row on";
    find.lvfi.flags = LVFI_PARTIAL;
    find.iStart = 1;
    find.lvfi.psz = "\\qmw.\\a";
    EXPECT_EQ(rows.FindRow(find), -1) << "no wrap";
    find.lvfi.flags = LVFI_STRING | LVFI_WRAP;
    find.lvfi.psz = "\\qmw.\\alpha";
    EXPECT_EQ(rows.FindRow(find), -1) << "a whole-text search needs the whole text";

    NMLVFINDITEMW wide{};
    wide.lvfi.flags = LVFI_STRING | LVFI_WRAP;
    wide.lvfi.psz = L"\\DB1.\\SERVER.EXE";
    wide.iStart = 2;
    EXPECT_EQ(rows.FindRow(wide), 1);
}
