#include "sound/PlayoutClock.h"

#include <gtest/gtest.h>

namespace lumenreel::test {
namespace {

// A 400-byte mixing buffer at 1000 bytes a second, 4-byte frames: each step is one call as the
// device would see it, in order.
TEST(PlayoutClockTest, TheSpeakerFollowsWhatWasTakenByOneBufferAtMost) {
    PlayoutClock clock(400, 1000, 4);
    struct Step {
        std::uint64_t taken;
        double now;
        std::uint64_t heard;
    };
    for (const Step& step : {
             Step{0, 0.0, 0}, Step{400, 0.0, 0},  // a buffer taken is not heard yet
             Step{400, 0.0013, 0},                // 1.3 bytes: less than a frame
             Step{400, 0.2, 200},                 // half of it by now
             Step{400, 1.0, 400},                 // never past what was taken
             Step{800, 1.0, 400},                 // the next buffer starts where the last one ended
             Step{800, 1.1, 500},
             Step{1600, 1.15, 1200},  // two taken at once: the older one is all heard
             Step{1600, 1.1, 1200},   // never backwards
         }) {
        SCOPED_TRACE(step.now);
        EXPECT_EQ(clock.heard(step.taken, step.now), step.heard);
    }
}

TEST(PlayoutClockTest, NothingIsHeardWhilePausedOrAfterAReset) {
    PlayoutClock clock(400, 1000, 4);
    clock.heard(400, 0.0);
    clock.pause(400, 0.1);
    EXPECT_EQ(clock.heard(400, 5.0), 100u);
    clock.restart(5.0);
    EXPECT_EQ(clock.heard(400, 5.1), 200u);
    clock.pause(400, 5.1);
    clock.reset();
    EXPECT_EQ(clock.heard(0, 6.0), 0u);
    clock.restart(7.0);
    EXPECT_EQ(clock.heard(400, 7.0), 0u);
    EXPECT_EQ(clock.heard(400, 7.1), 100u);
}

}  // namespace
}  // namespace lumenreel::test
