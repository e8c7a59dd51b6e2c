// The result list carried out on a real list view control: the same rows,
// the same sort, the same outcome as on the plain table. The control is an
// owner-data list view, as in the main window, showing the rows of a table.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

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

    // The same row at the top of both lists.
    void AddRow(qm::IResultList& list, const std::string& name, int image, const std::string& crc) {
        const int row = list.InsertRowAtTop(name, image);
        list.SetCellText(row, qm::kColCrcCurrent, crc);
        list.SetCellText(row, qm::kColEntry, std::to_string(row + 1));
    }

    CListCtrl m_list;
    qm::CResultTable m_shownRows;  // the rows the control shows
};

}  // namespace

TEST_F(ResultListViewTest, RowsGoInAtTheTopAndKeepTextsOfAnyLength) {
    CResultListView rows(m_list, m_shownRows);
    EXPECT_EQ(rows.InsertRowAtTop("first", 0), 0);
    EXPECT_EQ(rows.InsertRowAtTop("second", 1), 0);
    const std::string comment(511, 'c');
    rows.SetCellText(1, qm::kColComment, comment);

    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(rows.GetCellText(0, qm::kColFileName), "second");
    EXPECT_EQ(rows.GetCellText(1, qm::kColFileName), "first");
    EXPECT_EQ(rows.GetCellText(1, qm::kColComment), comment) << "longer than the first buffer";
    EXPECT_EQ(rows.GetCellText(0, qm::kColComment), "");

    rows.DeleteAllRows();
    EXPECT_EQ(rows.RowCount(), 0);
}

TEST_F(ResultListViewTest, AttributesRoundTripWithTheStateMask) {
    CResultListView rows(m_list, m_shownRows);
    rows.InsertRowAtTop("a", 0);
    rows.InsertRowAtTop("b", 0);
    rows.SetRowAttributes(1, {2, qm::kRowSelected | qm::kRowFocused, 77});

    const qm::RowAttributes attributes = rows.GetRowAttributes(1);
    EXPECT_EQ(attributes.image, 2);
    EXPECT_EQ(attributes.state, static_cast<uint32_t>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(attributes.param, 77);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(rows.GetRowAttributes(0).state, 0u);
}

TEST_F(ResultListViewTest, SortOnTheControlMatchesTheSortOnThePlainTable) {
    CResultListView rows(m_list, m_shownRows);
    qm::CResultTable table;
    const char* crcs[] = {"1a", "f", "10", "ffffffff", "1a", "0", "9", "Zeta", "alpha", "1a"};
    int image = 0;
    for (const char* crc : crcs) {
        const std::string name = std::string("\\qmw.\\file") + crc + ".exe";
        AddRow(rows, name, image, crc);
        AddRow(table, name, image, crc);
        image = (image + 1) % 3;
    }
    for (int column : {qm::kColFileName, qm::kColCrcCurrent, qm::kColEntry}) {
        for (int ascending : {1, 0}) {
            qm::SortResultList(rows, column, ascending, 0, -1);
            qm::SortResultList(table, column, ascending, 0, -1);
            for (int row = 0; row < table.RowCount(); ++row) {
                for (int cell = 0; cell < qm::kColumnCount; ++cell) {
                    EXPECT_EQ(rows.GetCellText(row, cell), table.GetCellText(row, cell))
                        << "column " << column << " ascending " << ascending << " row " << row;
                }
                EXPECT_EQ(rows.GetRowAttributes(row).image, table.GetRowAttributes(row).image);
            }
        }
    }
}

TEST_F(ResultListViewTest, ARowInsertedAtTheTopPushesTheSelectionDownWithItsRows) {
    CResultListView rows(m_list, m_shownRows);
    rows.InsertRowAtTop("a", 0);
    rows.InsertRowAtTop("b", 0);
    ListView_SetItemState(m_list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    rows.InsertRowAtTop("c", 0);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_FOCUSED), 2);
    EXPECT_EQ(rows.GetCellText(2, qm::kColFileName), "a");
    EXPECT_EQ(m_list.GetItemCount(), 3);
}

// What the control asks as it paints, or as another program reads a cell.
TEST_F(ResultListViewTest, AnswersGiveTextsCutToTheBufferAndImageAndStateOfTheItemOnly) {
    CResultListView rows(m_list, m_shownRows);
    rows.InsertRowAtTop("\\qmw.\\alpha.exe", 2);
    rows.SetCellText(0, qm::kColStatus, "Updated");
    rows.SetRowAttributes(0, {2, 0x1200, 5});  // an overlay and a state image index

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
    EXPECT_EQ(a.item.lParam, 5);

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
        rows.InsertRowAtTop(name, 0);
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
