#include "core/ListedEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qm {
namespace {

using Walked = std::vector<std::pair<int, std::string>>;

Walked Walk(const CIniFile& list, const char* section, int* count = nullptr) {
    Walked walked;
    const int entries = ForEachListedEntry(
        list, section, [&](int n, const std::string& name) { walked.emplace_back(n, name); });
    if (count) *count = entries;
    return walked;
}

// Every reader sees the entries that this walk gives, and only those.
TEST(ListedEntries, AWalkEndsAtTheFirstEmptyNameOrAfterEntry9998) {
    CIniFile list;
    list.LoadText(
        "[qmw]\r\nFile1=a.exe\r\nFile2=b.exe\r\nFile4=d.exe\r\n"  // a gap: File4 is not seen
        "[db1]\r\nFile1=store.dll\r\nFile2=\r\nFile3=c.dll\r\n"   // an empty name ends it too
        "[old]\r\nFile1=\"\"\r\nFile2=x.dll\r\n");                // so does one that reads empty
    EXPECT_EQ(Walk(list, "qmw"), (Walked{{1, "a.exe"}, {2, "b.exe"}}));
    EXPECT_EQ(Walk(list, "DB1"), (Walked{{1, "store.dll"}}));
    int count = -1;
    EXPECT_TRUE(Walk(list, "old", &count).empty());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ForEachListedEntry(list, "none", nullptr), 0);

    // A name is read whole, however long.
    const std::string longName = std::string(300, 'n') + ".exe";
    list.LoadText("[qmw]\r\nFile1=" + longName + "\r\n");
    EXPECT_EQ(Walk(list, "qmw"), (Walked{{1, longName}}));

    std::string text = "[qmw]\r\n";
    for (int n = 1; n <= 10000; ++n) text += "File" + std::to_string(n) + "=f.exe\r\n";
    list.LoadText(text);
    const Walked walked = Walk(list, "qmw", &count);
    EXPECT_EQ(count, 9998);
    ASSERT_EQ(walked.size(), 9998u);
    EXPECT_EQ(walked.back().first, 9998);
}

}  // namespace
}  // namespace qm
