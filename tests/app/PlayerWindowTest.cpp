#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/PlayerDialog.h"
#include "player/RecordingHost.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

class SteppedClock : public TickClock {
public:
    std::uint32_t now() override { return m_now; }
    void advance(std::uint32_t ms) { m_now += ms; }

private:
    std::uint32_t m_now = 1000;
};

// A 300 × 200 demo playing in a fitted window, ticked by hand.
class PlayerWindowTest : public ::testing::Test {
protected:
    PlayerWindowTest()
        : dialog(resources, clock, [] { return std::make_unique<NullOutputDevice>(); }) {
        host.usableArea = Rect{0, 0, 1024, 738};
        dialog.SetHost(host);
        dialog.OnInitDialog();
        writeBytes(dir / "demo.zcd", makeTestDemo(300, 200));
        dialog.OpenMovieFile(dir / "demo.zcd");
    }
    PlayerWindow& window() { return dialog.Window(); }
    void tick() {
        clock.advance(CZCPlayerView::kTimerPeriodMs);
        dialog.OnTimer();
    }
    // How many of the next ticks give a window that looks different.
    int changedTicks(int ticks) {
        int changed = 0;
        for (int i = 0; i < ticks; ++i) {
            tick();
            changed += window().Compose();
        }
        return changed;
    }

    TempDir dir;
    ProgramResources resources = defaultResources();
    SteppedClock clock;
    RecordingHost host;
    CZephyrcastPlayerDlg dialog;
};

TEST_F(PlayerWindowTest, OnlyAWindowThatLooksDifferentIsComposedAgain) {
    ASSERT_TRUE(window().Compose());
    EXPECT_FALSE(window().Compose()) << "nothing happened in between";
    EXPECT_EQ(changedTicks(5), 5) << "playing: every tick moves the time";

    window().View().Transport().Pause();
    changedTicks(1);
    EXPECT_EQ(changedTicks(10), 0) << "a paused movie draws nothing";

    const Rect panel = window().View().PanelRect();
    const Rect play = window().Panel().Button(CPlayerNavigateDialog::kPlay)->GetRect();
    const Point onPlay{panel.left + (play.left + play.right) / 2,
                       panel.top + (play.top + play.bottom) / 2};
    window().MouseMove(onPlay, onPlay);
    EXPECT_TRUE(window().Compose()) << "the button under the mouse lights up";
    EXPECT_EQ(changedTicks(CPlayerNavigateDialog::kTooltipDelayTicks + 5), 1)
        << "the tooltip appears once the mouse rests";

    window().SetMessage({"a message"});
    EXPECT_TRUE(window().Compose());
    window().SetClientSize(500, 400);
    EXPECT_TRUE(window().Compose());
    EXPECT_EQ(window().Picture().width(), 500);
}

TEST_F(PlayerWindowTest, ASkippedCompositionLeavesTheSamePictureAFullOneMakes) {
    window().View().Transport().Pause();
    changedTicks(2);
    CImageExt kept;
    ASSERT_TRUE(window().Picture().copyTo(kept));
    window().SetMessage({});  // forces a full composition of the same scene
    ASSERT_TRUE(window().Compose());
    EXPECT_TRUE(window().Picture().equals(kept));
}

}  // namespace
}  // namespace lumenreel::test
