#include <gtest/gtest.h>

#include <memory>

#include "PlayerTestSupport.h"
#include "player/PlayerView.h"

namespace lumenreel::test {
namespace {

using Call = ScriptedSource::SoundCall;

// A view over a scripted 10 s movie, loaded and shown, with its clock in the test's hands.
class TransportTest : public ::testing::Test {
protected:
    TransportTest() : clock(1000) {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        view = std::make_unique<CZCPlayerView>(clock, std::move(owned));
        view->SetClientSize(640, 480);
        view->Paint();  // the first paint starts the clock and applies the movie
        view->Transport().SetLoop(false);
    }

    void tick(int count = 1, std::uint32_t ms = CZCPlayerView::kTimerPeriodMs) {
        for (int i = 0; i < count; ++i) {
            clock.advance(ms);
            view->OnTimer();
        }
    }

    FakeTickClock clock;
    ScriptedSource* source = nullptr;
    std::unique_ptr<CZCPlayerView> view;
};

TEST_F(TransportTest, ThreeTicksAfterPlayAdvanceTwoPeriodsPastTheRestingPoint) {
    view->Transport().Play();
    tick(3);
    EXPECT_NEAR(view->Transport().GetTime(), 0.000001f + 0.050f, 1e-6);
    EXPECT_TRUE(view->Transport().IsPlaying());
    EXPECT_FALSE(view->Transport().IsPaused());
}

TEST_F(TransportTest, StepsClampAtBothEndsAndPauseAtTheEnd) {
    view->Transport().Play();
    view->Transport().SetTime(9.0f);
    view->Transport().StepForward();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 10.0f);
    EXPECT_TRUE(view->Transport().IsPlaying());
    EXPECT_TRUE(view->Transport().IsPaused());
    tick(4);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 10.0f);

    view->Transport().SetTime(1.0f);
    view->Transport().StepBack();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
}

TEST_F(TransportTest, PlayingPastTheEndWithoutLoopPausesAtTheDuration) {
    view->Transport().Play();
    view->Transport().SetTime(9.99f);
    source->takeSoundCalls();
    tick();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 10.0f);
    EXPECT_TRUE(view->Transport().IsPaused());
    // Clamped at the end: the sound is paused, not restarted.
    auto calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::pause);
}

TEST_F(TransportTest, LoopWrapsAndRestartsTheSoundAtTheWrappedTime) {
    view->Transport().SetLoop(true);
    view->Transport().Play();
    view->Transport().SetTime(9.99f);
    source->takeSoundCalls();
    tick(1, 50);
    EXPECT_NEAR(view->Transport().GetTime(), 0.04f, 1e-4);
    EXPECT_FALSE(view->Transport().IsPaused());
    auto calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::start);
    EXPECT_FLOAT_EQ(calls[0].time, view->Transport().GetTime());
}

TEST_F(TransportTest, LoopStepBackAcrossTheStartWrapsToTheEnd) {
    view->Transport().SetLoop(true);
    view->Transport().SetTime(1.0f);
    view->Transport().StepBack();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 8.0f);
}

TEST_F(TransportTest, SpaceAtTheEndRewindsAndPlays) {
    view->Transport().Play();
    view->Transport().Seek(12.0f);
    ASSERT_TRUE(view->Transport().IsPaused());
    source->takeSoundCalls();
    view->OnKeyDown(CZCPlayerView::Key::Space);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
    EXPECT_TRUE(view->Transport().IsPlaying());
    EXPECT_FALSE(view->Transport().IsPaused());
    auto calls = source->takeSoundCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, Call::start);
    EXPECT_FLOAT_EQ(calls.back().time, 0.0f);
}

TEST_F(TransportTest, SpaceCyclesStoppedPlayingPaused) {
    view->OnKeyDown(CZCPlayerView::Key::Space);
    EXPECT_TRUE(view->Transport().IsPlaying());
    tick(5);
    float at = view->Transport().GetTime();
    view->OnKeyDown(CZCPlayerView::Key::Space);
    EXPECT_TRUE(view->Transport().IsPaused());
    view->OnKeyDown(CZCPlayerView::Key::Space);
    EXPECT_FALSE(view->Transport().IsPaused());
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), at);  // resumed where it paused, not rewound
}

TEST_F(TransportTest, ScrubbingHoldsTheSoundAndReleaseFollowsTheTransport) {
    view->Transport().Play();
    tick(3);
    source->takeSoundCalls();
    view->Transport().SetScrubbing(true);
    float at = view->Transport().GetTime();
    tick(4);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), at);
    view->Transport().SetScrubbing(false);
    auto calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, Call::pause);
    EXPECT_EQ(calls[1].kind, Call::resume);

    view->Transport().Pause();
    source->takeSoundCalls();
    view->Transport().SetScrubbing(true);
    view->Transport().SetScrubbing(false);
    calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].kind, Call::pause);  // a paused transport stays silent
}

TEST_F(TransportTest, SeekRestartsTheSound300msAfterTheLastStep) {
    view->Transport().Play();
    tick(2);
    view->Transport().Seek(2.0f);
    tick(4);                       // 100 ms
    view->Transport().Seek(5.0f);  // pushes the restart back
    source->takeSoundCalls();
    tick(12);  // 300 ms after the last seek: not yet strictly past
    EXPECT_TRUE(source->takeSoundCalls().empty());
    tick();
    auto calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::start);
    EXPECT_NEAR(calls[0].time, 5.0f + 13 * 0.025f, 1e-4);
    EXPECT_EQ(view->Transport().SoundRestartDue(), 0u);
}

TEST_F(TransportTest, HiddenWindowHoldsTheClockAndTheSoundReturns300msAfterShowing) {
    view->Transport().Play();
    tick(3);
    float at = view->Transport().GetTime();
    view->SetVisible(false);
    tick(40);  // a second minimised
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), at);
    EXPECT_FALSE(view->GetPanel().visible);

    view->SetVisible(true);
    source->takeSoundCalls();
    tick();
    EXPECT_NEAR(view->Transport().GetTime(), at + 0.025f, 1e-5);
    EXPECT_TRUE(view->GetPanel().visible);
    tick(11);  // 300 ms after the last hidden tick
    EXPECT_TRUE(source->takeSoundCalls().empty());
    tick();
    auto calls = source->takeSoundCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, Call::start);
    EXPECT_FLOAT_EQ(calls[0].time, view->Transport().GetTime());
}

TEST_F(TransportTest, TickCounterWrapStillGivesTheElapsedTime) {
    clock.set(0xFFFFFFF0u);
    view->SetExternalReader(nullptr);  // reload so the clock starts from the new tick
    view->Transport().SetLoop(false);
    view->Transport().Play();
    tick(3, 10);  // crosses 2^32 on the second tick
    EXPECT_NEAR(view->Transport().GetTime(), 0.000001f + 0.020f, 1e-6);
}

TEST_F(TransportTest, StopRewindsAndRestsJustAfterTheStart) {
    view->Transport().Play();
    tick(10);
    view->Transport().Stop();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
    EXPECT_FALSE(view->Transport().IsPlaying());
    tick();
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.000001f);
    tick(3);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.000001f);
}

TEST_F(TransportTest, RendersOnlyWhenTheTimeOrFitChanges) {
    tick(5);  // stopped: one new time (the resting point), then nothing new
    EXPECT_EQ(source->renderedTimes.size(), 1u);
    view->SetFitChecked(true);
    tick();
    EXPECT_EQ(source->renderedTimes.size(), 2u);
    view->Transport().Play();
    tick(2);
    EXPECT_EQ(source->renderedTimes.size(), 4u);
}

TEST_F(TransportTest, NothingLoadedDoesNothing) {
    source->loaded = false;
    view->SetExternalReader(nullptr);
    view->Transport().Play();
    tick(3);
    EXPECT_EQ(view->Transport().GetCurrentFrame(), -1);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
    EXPECT_TRUE(source->renderedTimes.empty());
}

TEST_F(TransportTest, LoadingResetsTheTransportWithLoopOn) {
    view->Transport().Play();
    tick(3);
    view->SetExternalReader(nullptr);
    EXPECT_TRUE(view->Transport().IsLoop());
    EXPECT_FALSE(view->Transport().IsPlaying());
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
    EXPECT_FLOAT_EQ(view->Transport().GetDuration(), 10.0f);
    EXPECT_EQ(view->Transport().GetPanelColour(), 0x808080u);
}

}  // namespace
}  // namespace lumenreel::test
