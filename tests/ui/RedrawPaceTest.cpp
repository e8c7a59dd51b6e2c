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

TEST(RedrawPace, AShowThatTakesLongWaitsNineTimesItsCostFromItsEnd) {
    using namespace std::chrono;
    CRedrawPace pace(milliseconds(100));
    const CRedrawPace::Clock::time_point start{};
    ASSERT_TRUE(pace.Due(start));
    // A repaint of 60 ms: the next one comes 540 ms after it ended.
    pace.Shown(start, start + milliseconds(60));
    EXPECT_FALSE(pace.Due(start + milliseconds(599)));
    ASSERT_TRUE(pace.Due(start + milliseconds(600)));
    // A cheap one brings the interval back.
    pace.Shown(start + milliseconds(600), start + milliseconds(602));
    EXPECT_FALSE(pace.Due(start + milliseconds(701)));
    EXPECT_TRUE(pace.Due(start + milliseconds(702)));
}
