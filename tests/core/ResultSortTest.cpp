#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "core/ResultSort.h"
#include "core/ResultTable.h"

namespace qm {
namespace {

// A table whose rows carry an id in column 0 and a key in column `column`.
CResultTable TableOf(const std::vector<std::string>& keys, int column = kColStatus) {
    CResultTable table;
    for (size_t i = keys.size(); i-- > 0;) {
        int row = table.InsertRowAtTop("r" + std::to_string(i), static_cast<int>(i % 3));
        table.SetCellText(row, column, keys[i]);
    }
    return table;
}

std::vector<std::string> Column(const CResultTable& table, int column) {
    std::vector<std::string> texts;
    for (const ResultRow& row : table.Rows()) texts.push_back(row.texts[column]);
    return texts;
}

TEST(ResultSort, EqualKeysEndInTheOrderThePartitionGivesThem) {
    // Worked by hand: pivot "B" (row 2); rows 0/4 equal, no swap; rows 2/3
    // swapped; then 0..2 (pivot "A": rows 0/2 swapped) and 3..4 (equal).
    CResultTable table = TableOf({"B", "A", "B", "A", "B"});
    table.Rows()[1].attributes.state = kRowSelected | kRowFocused;
    table.Rows()[1].attributes.param = 77;
    SortResultList(table, kColStatus, 1, 0, -1);

    EXPECT_EQ(Column(table, kColFileName),
              (std::vector<std::string>{"r3", "r1", "r0", "r2", "r4"}));
    // Image, state and application value travel with their row.
    for (const ResultRow& row : table.Rows()) {
        int id = std::stoi(row.texts[kColFileName].substr(1));
        EXPECT_EQ(row.attributes.image, id % 3);
    }
    EXPECT_EQ(table.Rows()[1].attributes.state, static_cast<uint32_t>(kRowSelected | kRowFocused));
    EXPECT_EQ(table.Rows()[1].attributes.param, 77);
    EXPECT_EQ(table.Rows()[0].attributes.state, 0u);
}

TEST(ResultSort, StatusDescendingPutsUpdatedFirst) {
    CResultTable table =
        TableOf({"Identical", "Updated", "Not identical", "Identical", "Updated", "Not identical"});
    SortResultList(table, kColStatus, 0, 0, -1);
    EXPECT_EQ(Column(table, kColStatus),
              (std::vector<std::string>{"Updated", "Updated", "Not identical", "Not identical",
                                        "Identical", "Identical"}));
}

TEST(ResultSort, RandomTablesComeOutOrderedWithEveryRowIntact) {
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> keys(random() % 40);
        for (std::string& key : keys) key = std::string(1, static_cast<char>('a' + random() % 4));
        for (int ascending : {0, 1}) {
            CResultTable table = TableOf(keys, kColComment);
            SortResultList(table, kColComment, ascending, 0, -1);
            ASSERT_EQ(table.RowCount(), static_cast<int>(keys.size()));
            std::vector<bool> seen(keys.size(), false);
            for (int row = 0; row < table.RowCount(); ++row) {
                const ResultRow& r = table.Rows()[row];
                size_t id = std::stoul(r.texts[kColFileName].substr(1));
                ASSERT_FALSE(seen[id]);
                seen[id] = true;
                EXPECT_EQ(r.texts[kColComment], keys[id]);
                if (row > 0) {
                    const std::string& above = table.Rows()[row - 1].texts[kColComment];
                    EXPECT_TRUE(ascending ? above <= r.texts[kColComment]
                                          : above >= r.texts[kColComment]);
                }
            }
        }
    }
}

// A list that is not a plain table, so that the sort goes through
// IResultList row by row.
class ForwardingList : public IResultList {
public:
    explicit ForwardingList(CResultTable& table) : m_table(table) {}
    void DeleteAllRows() override { m_table.DeleteAllRows(); }
    int InsertRowAtTop(const std::string& text, int image) override {
        return m_table.InsertRowAtTop(text, image);
    }
    std::string GetCellText(int row, int column) const override {
        return m_table.GetCellText(row, column);
    }
    void SetCellText(int row, int column, const std::string& text) override {
        m_table.SetCellText(row, column, text);
    }
    RowAttributes GetRowAttributes(int row) const override { return m_table.GetRowAttributes(row); }
    void SetRowAttributes(int row, const RowAttributes& attributes) override {
        m_table.SetRowAttributes(row, attributes);
    }
    int RowCount() const override { return m_table.RowCount(); }

private:
    CResultTable& m_table;
};

TEST(ResultSort, APlainTableEndsInTheOrderOfTheSortThroughTheInterface) {
    std::mt19937 random(4711);
    for (int round = 0; round < 100; ++round) {
        // Few distinct keys, so that equal keys and their order matter.
        std::vector<std::string> keys(random() % 60);
        for (std::string& key : keys) key = std::string(1 + random() % 2, "abAB\\."[random() % 6]);
        CResultTable plain = TableOf(keys, kColComment);
        for (int row = 0; row < plain.RowCount(); ++row) {
            plain.Rows()[row].attributes.state = static_cast<uint32_t>(random() % 4);
            plain.Rows()[row].attributes.param = row;
        }
        CResultTable viaInterface = plain;
        ForwardingList forwarded(viaInterface);
        for (int ascending : {1, 0}) {
            SortResultList(plain, kColComment, ascending, 0, -1);
            SortResultList(forwarded, kColComment, ascending, 0, -1);
            for (int row = 0; row < plain.RowCount(); ++row) {
                const ResultRow& a = plain.Rows()[row];
                const ResultRow& b = viaInterface.Rows()[row];
                ASSERT_EQ(a.texts, b.texts) << round << " row " << row;
                ASSERT_EQ(a.attributes.image, b.attributes.image);
                ASSERT_EQ(a.attributes.state, b.attributes.state);
                ASSERT_EQ(a.attributes.param, b.attributes.param);
            }
        }
    }
}

// A table that counts the cells read through the interface; it may keep
// its rows to itself, as a list that must see every read would.
class CountingTable : public CResultTable {
public:
    explicit CountingTable(bool sharesRows) : m_bSharesRows(sharesRows) {}
    std::string GetCellText(int row, int column) const override {
        ++reads;
        return CResultTable::GetCellText(row, column);
    }
    std::deque<ResultRow>* PlainRows() override {
        return m_bSharesRows ? CResultTable::PlainRows() : nullptr;
    }
    mutable int reads = 0;

private:
    bool m_bSharesRows;
};

TEST(ResultSort, TheListItselfChoosesTheSortInPlace) {
    const std::vector<std::string> keys = {"c", "a", "b", "a", "d"};
    CountingTable inPlace(true);
    CountingTable throughCalls(false);
    for (CountingTable* table : {&inPlace, &throughCalls}) {
        for (size_t i = keys.size(); i-- > 0;) {
            const int row = table->InsertRowAtTop("r" + std::to_string(i), 0);
            table->SetCellText(row, kColComment, keys[i]);
        }
        SortResultList(*table, kColComment, 1, 0, -1);
    }
    // A class derived from the plain table still sorts its rows in place ...
    EXPECT_EQ(inPlace.reads, 0);
    // ... unless it keeps them to itself; both end in the same order.
    EXPECT_GT(throughCalls.reads, 0);
    EXPECT_EQ(Column(inPlace, kColFileName), Column(throughCalls, kColFileName));
    EXPECT_EQ(Column(inPlace, kColComment), (std::vector<std::string>{"a", "a", "b", "c", "d"}));
}

TEST(ResultSort, HeaderClicksFollowTheSortStateRule) {
    CResultTable table = TableOf({"b", "a", "c"}, kColFileName + 2);
    SortState state;  // column 1, descending, as after a comparison run

    // Only the left button sorts; other buttons change nothing.
    EXPECT_FALSE(SortOnHeaderClick(table, state, 2, 1));
    EXPECT_FALSE(SortOnHeaderClick(table, state, 2, 2));
    EXPECT_EQ(state.m_nSortColumn, 1);
    EXPECT_EQ(state.m_bSortAscending, 0);
    EXPECT_EQ(Column(table, 2), (std::vector<std::string>{"b", "a", "c"}));

    EXPECT_TRUE(SortOnHeaderClick(table, state, 2, 0));
    EXPECT_EQ(state.m_bSortAscending, 1);
    EXPECT_EQ(Column(table, 2), (std::vector<std::string>{"a", "b", "c"}));
    SortOnHeaderClick(table, state, 2, 0);
    EXPECT_EQ(state.m_bSortAscending, 0);
    EXPECT_EQ(Column(table, 2), (std::vector<std::string>{"c", "b", "a"}));

    // Another header in between: the next click on the first is ascending.
    SortOnHeaderClick(table, state, 0, 0);
    EXPECT_EQ(state.m_nSortColumn, 0);
    EXPECT_EQ(state.m_bSortAscending, 1);
    SortOnHeaderClick(table, state, 2, 0);
    EXPECT_EQ(state.m_bSortAscending, 1);

    // After a comparison run, the first click on Status sorts ascending.
    SortState afterRun;
    CResultTable statuses = TableOf({"Updated", "Identical"});
    SortOnHeaderClick(statuses, afterRun, kColStatus, 0);
    EXPECT_EQ(afterRun.m_bSortAscending, 1);
    EXPECT_EQ(statuses.Rows()[0].texts[kColStatus], "Identical");

    // On an empty list the state still changes.
    CResultTable empty;
    SortState emptyState;
    EXPECT_TRUE(SortOnHeaderClick(empty, emptyState, 5, 0));
    EXPECT_EQ(emptyState.m_nSortColumn, 5);
    EXPECT_EQ(emptyState.m_bSortAscending, 1);
}

}  // namespace
}  // namespace qm
