#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player/FrameTimeline.h"

namespace lumenreel::test {
namespace {

TEST(FrameTimelineTest, FramesAreFoundByTheirEndsAndStartWhereTheOnesBeforeEnd) {
    const std::vector<float> durations{1.5f, 2.0f, 0.5f};
    FrameTimeline timeline(durations);
    EXPECT_EQ(timeline.count(), 3);
    EXPECT_FLOAT_EQ(timeline.total(), 4.0f);
    struct Case {
        float t;
        int frame;
    };
    // A frame's own end still shows it; past the movie the last frame stays.
    for (Case c : {Case{0.0f, 0}, {1.5f, 0}, {1.5001f, 1}, {3.5f, 1}, {3.9f, 2}, {99.0f, 2}})
        EXPECT_EQ(timeline.frameAt(c.t), c.frame) << c.t;
    EXPECT_FLOAT_EQ(timeline.startOf(0), 0.0f);
    EXPECT_FLOAT_EQ(timeline.startOf(2), 3.5f);
    EXPECT_FLOAT_EQ(timeline.startOf(7), 4.0f);
    EXPECT_FLOAT_EQ(timeline.startOf(-1), 0.0f);
}

TEST(FrameTimelineTest, DamagedDurationsStillGiveTheFirstFrameEndingAtOrAfterT) {
    // The ends are 2, 0.5 and 3.5: out of order, so only a scan finds frame 0 for t = 1.
    const std::vector<float> durations{2.0f, -1.5f, 3.0f};
    FrameTimeline timeline(durations);
    EXPECT_EQ(timeline.frameAt(1.0f), 0);
    EXPECT_EQ(timeline.frameAt(3.0f), 2);
    const std::vector<float> notANumber{1.0f, NAN, 1.0f};
    EXPECT_EQ(FrameTimeline(notANumber).frameAt(1.5f), 2);
}

TEST(FrameTimelineTest, WithoutFramesEverythingIsZero) {
    FrameTimeline timeline;
    EXPECT_EQ(timeline.count(), 0);
    EXPECT_EQ(timeline.frameAt(1.0f), 0);
    EXPECT_EQ(timeline.total(), 0.0f);
    EXPECT_EQ(timeline.startOf(3), 0.0f);
}

}  // namespace
}  // namespace lumenreel::test
