#include "ui/RedrawPace.h"

#include <gtest/gtest.h>

TEST(RedrawPace, TheFirstStepShowsAtOnceThenOnlyOnceTheIntervalHasPassed) {
    using namespace std::chrono;
    CRedrawPace pace(milliseconds(100));
    const CRedrawPace::Clock::time_point start{};
    EXPECT_TRUE(pace.Due(start + seconds(5)));
    EXPECT_FALSE(pace.Due(start + seconds(5) + milliseconds(99)));
    EXPECT_TRUE(pace.Due(start + seconds(5) + milliseconds(100)));
    EXPECT_FALSE(pace.Due(start + seconds(5) + milliseconds(150)));
    EXPECT_TRUE(pace.Due(start + seconds(6)));
}
