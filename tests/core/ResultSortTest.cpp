#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/ResultSort.h"
#include "core/ResultTable.h"

namespace qm {
namespace {

// A table whose rows carry an id in their name and path and a key in their
// comment.
CResultTable TableOf(const std::vector<std::string>& keys) {
    CResultTable table;
    for (size_t i = keys.size(); i-- > 0;) {
        ComparedFile file;
        file.name = "r" + std::to_string(i);
        file.path = file.name;
        file.comment = keys[i];
        file.status = static_cast<FileStatus>(i % 3);
        table.AddAtTop(file);
    }
    return table;
}

std::vector<std::string> Column(const CResultTable& table, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < table.RowCount(); ++row) texts.push_back(table.CellText(row, column));
    return texts;
}

TEST(ResultSort, EqualKeysEndInTheOrderThePartitionGivesThem) {
    // Worked by hand: pivot "B" (row 2); rows 0/4 equal, no swap; rows 2/3
    // swapped; then 0..2 (pivot "A": rows 0/2 swapped) and 3..4 (equal).
    CResultTable table = TableOf({"B", "A", "B", "A", "B"});
    table.Rows()[1].state = kRowSelected | kRowFocused;
    SortResultList(table, kColComment, 1, 0, -1);

    EXPECT_EQ(Column(table, kColFileName),
              (std::vector<std::string>{"r3", "r1", "r0", "r2", "r4"}));
    // The whole record and the view's state bits travel with their row.
    for (const ResultRow& row : table.Rows()) {
        EXPECT_EQ(row.file.status, std::stoi(row.file.name.substr(1)) % 3);
    }
    EXPECT_EQ(table.Rows()[1].state, static_cast<uint32_t>(kRowSelected | kRowFocused));
    EXPECT_EQ(table.Rows()[0].state, 0u);
}

// The status column sorts by its text, the entry column by its digits as
// text: entry 10 before entry 9.
TEST(ResultSort, ColumnsSortByTheirShownText) {
    CResultTable table;
    const FileStatus statuses[] = {Identical, Updated, NotIdentical, NotListed, Identical, Updated};
    int entry = 8;
    for (FileStatus status : statuses) {
        ComparedFile file;
        file.status = status;
        file.entry = entry++;
        table.AddAtTop(file);
    }
    SortResultList(table, kColStatus, 0, 0, -1);
    EXPECT_EQ(Column(table, kColStatus),
              (std::vector<std::string>{"Updated", "Updated", "Not listed", "Not identical",
                                        "Identical", "Identical"}));
    SortResultList(table, kColEntry, 1, 0, -1);
    EXPECT_EQ(Column(table, kColEntry),
              (std::vector<std::string>{"10", "11", "12", "13", "8", "9"}));
}

TEST(ResultSort, RandomTablesComeOutOrderedWithEveryRowIntact) {
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> keys(random() % 40);
        for (std::string& key : keys) key = std::string(1, static_cast<char>('a' + random() % 4));
        for (int ascending : {0, 1}) {
            CResultTable table = TableOf(keys);
            SortResultList(table, kColComment, ascending, 0, -1);
            ASSERT_EQ(table.RowCount(), static_cast<int>(keys.size()));
            std::vector<bool> seen(keys.size(), false);
            for (int row = 0; row < table.RowCount(); ++row) {
                const ComparedFile& file = table.Rows()[row].file;
                size_t id = std::stoul(file.name.substr(1));
                ASSERT_FALSE(seen[id]);
                seen[id] = true;
                EXPECT_EQ(file.comment, keys[id]);
                if (row > 0) {
                    const std::string& above = table.Rows()[row - 1].file.comment;
                    EXPECT_TRUE(ascending ? above <= file.comment : above >= file.comment);
                }
            }
        }
    }
}

TEST(ResultSort, HeaderClicksFollowTheSortStateRule) {
    CResultTable table = TableOf({"b", "a", "c"});
    SortState state;  // column 1, descending, as after a comparison run

    // Only the left button sorts; other buttons change nothing.
    EXPECT_FALSE(SortOnHeaderClick(table, state, kColComment, 1));
    EXPECT_FALSE(SortOnHeaderClick(table, state, kColComment, 2));
    EXPECT_EQ(state.m_nSortColumn, 1);
    EXPECT_EQ(state.m_bSortAscending, 0);
    EXPECT_EQ(Column(table, kColComment), (std::vector<std::string>{"b", "a", "c"}));

    EXPECT_TRUE(SortOnHeaderClick(table, state, kColComment, 0));
    EXPECT_EQ(state.m_bSortAscending, 1);
    EXPECT_EQ(Column(table, kColComment), (std::vector<std::string>{"a", "b", "c"}));
    SortOnHeaderClick(table, state, kColComment, 0);
    EXPECT_EQ(state.m_bSortAscending, 0);
    EXPECT_EQ(Column(table, kColComment), (std::vector<std::string>{"c", "b", "a"}));

    // Another header in between: the next click on the first is ascending.
    SortOnHeaderClick(table, state, 0, 0);
    EXPECT_EQ(state.m_nSortColumn, 0);
    EXPECT_EQ(state.m_bSortAscending, 1);
    SortOnHeaderClick(table, state, kColComment, 0);
    EXPECT_EQ(state.m_bSortAscending, 1);

    // After a comparison run, the first click on Status sorts ascending.
    SortState afterRun;
    CResultTable statuses = TableOf({"x", "y"});
    statuses.Rows()[0].file.status = Updated;
    statuses.Rows()[1].file.status = Identical;
    SortAfterComparison(statuses, afterRun);
    EXPECT_EQ(statuses.CellText(0, kColStatus), "Updated");
    SortOnHeaderClick(statuses, afterRun, kColStatus, 0);
    EXPECT_EQ(afterRun.m_bSortAscending, 1);
    EXPECT_EQ(statuses.CellText(0, kColStatus), "Identical");

    // On an empty list the state still changes.
    CResultTable empty;
    SortState emptyState;
    EXPECT_TRUE(SortOnHeaderClick(empty, emptyState, 5, 0));
    EXPECT_EQ(emptyState.m_nSortColumn, 5);
    EXPECT_EQ(emptyState.m_bSortAscending, 1);
}

}  // namespace
}  // namespace qm
