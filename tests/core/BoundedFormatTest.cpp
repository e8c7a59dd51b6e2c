// Bounded formatting cuts a text that does not fit to capacity - 1 bytes and
// says so, the same with every C runtime (natively and under Wine): some
// report a cut with -1 or leave the buffer unterminated.
#include <gtest/gtest.h>

#include <string>

#include "core/BoundedFormat.h"

namespace qm {
namespace {

TEST(BoundedFormat, CutsToCapacityMinusOneAndSaysWhetherItFitted) {
    struct Case {
        size_t capacity;
        const char* expected;
        bool fitted;
    };
    const Case cases[] = {
        {0, "", false},
        {1, "", false},
        {5, "\\qmw", false},
        {14, "\\qmw.\\tool.ex", false},
        {15, "\\qmw.\\tool.exe", true},
        {128, "\\qmw.\\tool.exe", true},
    };
    for (const Case& c : cases) {
        bool fitted = !c.fitted;
        EXPECT_EQ(BoundedFormat(c.capacity, &fitted, "%s.\\%s", "\\qmw", "tool.exe"), c.expected)
            << c.capacity;
        EXPECT_EQ(fitted, c.fitted) << c.capacity;
    }
    const std::string long80(200, 'x');
    EXPECT_EQ(BoundedFormat(80, nullptr, "%s%d", long80.c_str(), 7), std::string(79, 'x'));
}

TEST(BoundedFormat, CutToCapacityStopsWhereABufferWould) {
    EXPECT_EQ(CutToCapacity("abcdef", 0), "");
    EXPECT_EQ(CutToCapacity("abcdef", 4), "abc");
    EXPECT_EQ(CutToCapacity("abcdef", 40), "abcdef");
    EXPECT_EQ(CutToCapacity(std::string("ab\0cd", 5), 40), "ab");
}

}  // namespace
}  // namespace qm
