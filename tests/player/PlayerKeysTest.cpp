#include <gtest/gtest.h>

#include <memory>

#include "PlayerTestSupport.h"
#include "RecordingHost.h"
#include "player/PlayerView.h"

namespace lumenreel::test {
namespace {

using Key = CZCPlayerView::Key;

// A view over a scripted 10 s movie of ten 1 s frames, playing without loop.
class PlayerKeysTest : public ::testing::Test {
protected:
    PlayerKeysTest() : clock(1000) {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        view = std::make_unique<CZCPlayerView>(clock, std::move(owned));
        view->SetHost(&host);
        view->SetClientSize(640, 480);
        view->Paint();
        transport().SetLoop(false);
        transport().Play();
    }
    CZCPlayerView_navigateInterface& transport() { return view->Transport(); }
    float timeAfter(float start, Key key) {
        transport().SetTime(start);
        view->OnKeyDown(key);
        return transport().GetTime();
    }

    FakeTickClock clock;
    RecordingHost host;
    ScriptedSource* source = nullptr;
    std::unique_ptr<CZCPlayerView> view;
};

TEST_F(PlayerKeysTest, ArrowsSeekAndClampAtBothEnds) {
    struct Case {
        float start;
        Key key;
        float expected;
    };
    const Case cases[] = {
        {2.0f, Key::Right, 7.0f}, {7.0f, Key::Left, 2.0f}, {3.0f, Key::Left, 0.0f},
        {1.0f, Key::Up, 10.0f},   {9.0f, Key::Down, 0.0f}, {4.0f, Key::Home, 0.0f},
        {4.0f, Key::End, 10.0f},
    };
    for (const Case& c : cases) {
        transport().Play();
        EXPECT_FLOAT_EQ(timeAfter(c.start, c.key), c.expected)
            << "from " << c.start << " key " << static_cast<int>(c.key);
    }
    EXPECT_TRUE(transport().IsPaused()) << "the end holds the movie there";
    EXPECT_NE(transport().SoundRestartDue(), 0u) << "a seek restarts the sound later";
}

TEST_F(PlayerKeysTest, WithLoopTheEndIsTheLastMomentAndSeeksDoNotWrap) {
    transport().SetLoop(true);
    const float end = timeAfter(4.0f, Key::End);
    EXPECT_LT(end, 10.0f);
    EXPECT_GT(end, 9.99f);
    transport().Play();
    EXPECT_FLOAT_EQ(timeAfter(2.0f, Key::Left), 0.0f) << "a seek back stops at the start";
}

TEST_F(PlayerKeysTest, FrameStepsPauseAndMoveOnePicture) {
    EXPECT_NEAR(timeAfter(5.0f, Key::FrameForward), 5.025f, 1e-5);
    EXPECT_TRUE(transport().IsPaused());
    view->OnKeyDown(Key::FrameBack);
    view->OnKeyDown(Key::FrameBack);
    EXPECT_NEAR(transport().GetTime(), 4.975f, 1e-5);
    clock.advance(500);
    view->OnTimer();
    EXPECT_NEAR(transport().GetTime(), 4.975f, 1e-5) << "stepping leaves the movie paused";
}

TEST_F(PlayerKeysTest, PageKeysGoToFrameStarts) {
    source->frameLength = 2.0f;
    source->frames = 5;
    EXPECT_NEAR(timeAfter(3.5f, Key::PageDown), 4.001f, 1e-5);
    EXPECT_EQ(source->FrameAtTime(transport().GetTime()), 2);
    EXPECT_NEAR(timeAfter(5.5f, Key::PageUp), 4.001f, 1e-5) << "back to this frame's start";
    EXPECT_NEAR(timeAfter(4.5f, Key::PageUp), 2.001f, 1e-5) << "near its start: the one before";
    EXPECT_NEAR(timeAfter(0.5f, Key::PageUp), 0.001f, 1e-5);
    EXPECT_FLOAT_EQ(timeAfter(9.5f, Key::PageDown), 10.0f) << "past the last frame: the end";
}

TEST_F(PlayerKeysTest, WheelSeeksFiveSecondsANotch) {
    transport().SetTime(5.0f);
    view->OnWheel(-1);
    EXPECT_FLOAT_EQ(transport().GetTime(), 0.0f);
    view->OnWheel(1);
    EXPECT_FLOAT_EQ(transport().GetTime(), 5.0f);
}

TEST_F(PlayerKeysTest, LoopFullScreenEscapeAndQuit) {
    view->OnKeyDown(Key::Loop);
    EXPECT_TRUE(transport().IsLoop());
    view->OnKeyDown(Key::FullScreen);
    EXPECT_TRUE(view->IsFullScreen());
    view->OnKeyDown(Key::Escape);
    EXPECT_FALSE(view->IsFullScreen());
    view->OnKeyDown(Key::Escape);
    EXPECT_FALSE(view->IsFullScreen()) << "Escape only ever leaves full screen";
    EXPECT_EQ(host.count("close"), 0);
    view->OnKeyDown(Key::Quit);
    EXPECT_EQ(host.count("close"), 1);
}

}  // namespace
}  // namespace lumenreel::test
