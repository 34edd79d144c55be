#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>

#include "AppTestSupport.h"
#include "app/OverlayBox.h"
#include "app/PlayerDialog.h"
#include "app/WindowEdges.h"
#include "base/FileBytes.h"
#include "images/PngCodec.h"
#include "player/RecordingHost.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

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

// The button's tip after the mouse rests, the time's at once: both above the track, whose
// pixels stay as the panel drew them, and near the mouse.
TEST_F(PlayerWindowTest, TooltipsAppearAboveThePanelsTrackNeverOverIt) {
    window().View().Transport().Pause();
    const Rect panel = window().View().PanelRect();
    const Rect track = window().Panel().TrackHitRect();
    const Rect rew = window().Panel().Button(CPlayerNavigateDialog::kRewind)->GetRect();
    struct Case {
        Point mouse;  // in panel pixels
        int ticks;
    };
    for (const Case& c : {Case{{(rew.left + rew.right) / 2, (rew.top + rew.bottom) / 2},
                               CPlayerNavigateDialog::kTooltipDelayTicks + 1},
                          Case{{(track.left + track.right) / 2, track.top + 1}, 0}}) {
        const Point at{panel.left + c.mouse.x, panel.top + c.mouse.y};
        window().MouseMove(at, at);
        changedTicks(c.ticks);
        window().Compose();
        ASSERT_TRUE(window().Panel().CurrentTooltip()) << c.mouse.x;
        const CImageExt& shown = window().Picture();
        const CImageExt& drawn = window().Panel().Picture();
        EXPECT_EQ(
            shown.countDifferences(drawn, panel.left, panel.top, static_cast<int>(panel.width()),
                                   static_cast<int>(track.bottom), 0, 0),
            0)
            << c.mouse.x;
        // The tip's light fill shows in the rows just above the panel, near the mouse.
        int fill = 0;
        for (int x = std::max(0, at.x - 60); x < std::min(shown.width(), at.x + 60); ++x)
            fill += (shown.pixel(x, panel.top - 5) & 0xFFFFFF) == 0xF4F4F4;
        EXPECT_GT(fill, 10) << c.mouse.x;
    }
}

// Every pixel of the grip the panel draws in its bottom-right corner, where it lands in the
// window, resizes the window from that corner. The grip is what differs there from the panel's
// plain middle column.
TEST_F(PlayerWindowTest, TheWholeResizeGripResizesTheWindow) {
    for (const Size size : {Size{428, 300}, Size{640, 480}, Size{1024, 738}}) {
        dialog.WindowResized(size.width, size.height);
        window().Compose();
        const CImageExt& panel = window().Panel().Picture();
        const CImageExt& shown = window().Picture();
        const Rect panelRect = window().View().PanelRect();
        ASSERT_EQ(panel.width(), size.width);
        int gripPixels = 0;
        for (int y = panel.height() - 30; y < panel.height(); ++y)
            for (int x = panel.width() - 30; x < panel.width() - 1; ++x) {
                if (panel.pixel(x, y) == panel.pixel(152, y))
                    continue;
                ++gripPixels;
                const Point at{panelRect.left + x, panelRect.top + y};
                ASSERT_EQ(shown.pixel(at.x, at.y), panel.pixel(x, y)) << at.x << "," << at.y;
                EXPECT_EQ(windowEdgeAt(at, size, false), WindowEdge::bottomRight)
                    << size.width << ": " << at.x << "," << at.y;
            }
        EXPECT_GT(gripPixels, 20) << size.width;
    }
}

// At scale 2 the panel's buttons and the frame's close button answer the mouse where they are
// drawn, at twice their skin places.
TEST(ScaledPlayerWindowTest, TheMouseFindsTheControlsAtTwiceTheirSkinPlaces) {
    TempDir dir;
    const ProgramResources resources = defaultResources();
    SteppedClock clock;
    RecordingHost host;
    host.usableArea = Rect{0, 0, 2048, 1476};
    CZephyrcastPlayerDlg dialog(resources, clock,
                                [] { return std::make_unique<NullOutputDevice>(); });
    dialog.SetHost(host);
    dialog.SetDeviceScale(2);
    dialog.OnInitDialog();
    writeBytes(dir / "demo.zcd", makeTestDemo(300, 200));
    dialog.OpenMovieFile(dir / "demo.zcd");
    PlayerWindow& window = dialog.Window();
    window.Compose();
    const auto click = [&window](Point at) {
        window.MouseMove(at, at);
        window.MouseDown(at, at, {0, 0}, false);
        window.MouseUp(at);
    };
    const Rect panel = window.View().PanelRect();
    EXPECT_EQ(panel.height(), 2 * CPlayerNavigateDialog::kDefaultHeight);
    ASSERT_TRUE(window.View().Transport().IsPlaying());
    // The Pause button's middle: (36, 13) and 28 × 27 in the skin's layout.
    click({panel.left + 2 * (36 + 14), panel.top + 2 * (13 + 13)});
    EXPECT_TRUE(window.View().Transport().IsPaused());
    // The close button, 18 × 16, sits 26 skin pixels from the right edge and 8 from the top.
    click({window.ClientSize().width - 2 * 26 + 18, 2 * 8 + 16});
    EXPECT_EQ(host.count("close"), 1);
}

// Each item of the right-click menu does what its key or button does, then the menu closes; a
// press beside it or Escape only closes it.
TEST_F(PlayerWindowTest, TheRightClickMenuDoesWhatItsItemsSay) {
    int opened = 0;
    window().SetOpenAction([&opened] { ++opened; });
    CZCPlayerView& view = window().View();
    const auto choose = [&](int command) {
        window().RightClick({20, 20});
        EXPECT_TRUE(window().Compose());
        const auto& items = window().Menu().Items();
        const auto found = std::find_if(items.begin(), items.end(), [command](const auto& item) {
            return item.command == command;
        });
        ASSERT_NE(found, items.end()) << command;
        const Rect menu = window().Menu().Bounds();
        const Point on{menu.left + 30,
                       menu.top + 1 +
                           static_cast<int>(found - items.begin()) * ContextMenu::kItemHeight +
                           ContextMenu::kItemHeight / 2};
        window().MouseMove(on, on);
        window().MouseDown(on, on, {0, 0}, false);
        window().MouseUp(on);
        EXPECT_FALSE(window().Menu().IsOpen()) << command;
    };
    struct Case {
        int command;
        std::function<bool()> done;
    };
    const bool loop = view.Transport().IsLoop();
    const bool fit = view.IsFitChecked();
    for (const Case& c : {
             Case{PlayerWindow::kMenuLoop, [&] { return view.Transport().IsLoop() != loop; }},
             Case{PlayerWindow::kMenuFit, [&] { return view.IsFitChecked() != fit; }},
             Case{PlayerWindow::kMenuFullScreen, [&] { return view.IsFullScreen(); }},
             Case{PlayerWindow::kMenuAbout,
                  [&] {
                      const std::string& title = window().Message().front();
                      return title.starts_with("Lumenreel player ") && std::isdigit(title[17]);
                  }},
             Case{PlayerWindow::kMenuOpen, [&] { return opened == 1; }},
             Case{PlayerWindow::kMenuFaster, [&] { return window().Speed() == 1.25f; }},
             Case{PlayerWindow::kMenuSlower, [&] { return window().Speed() == 1.0f; }},
             Case{PlayerWindow::kMenuSlower, [&] { return window().Speed() == 0.75f; }},
             Case{PlayerWindow::kMenuNormalSpeed, [&] { return window().Speed() == 1.0f; }},
         }) {
        choose(c.command);
        EXPECT_TRUE(c.done()) << c.command;
    }
    // The menu stays inside the window however near its edge the click is.
    const Size client = window().ClientSize();
    window().RightClick({client.width - 2, client.height - 2});
    const Rect menu = window().Menu().Bounds();
    EXPECT_LE(menu.right, client.width);
    EXPECT_LE(menu.bottom, client.height);
    window().MouseDown({0, 0}, {0, 0}, {0, 0}, false);
    EXPECT_FALSE(window().Menu().IsOpen());
    EXPECT_EQ(opened, 1) << "a press beside the menu chose nothing";
    window().RightClick({20, 20});
    window().KeyDown(CZCPlayerView::Key::Escape);
    EXPECT_FALSE(window().Menu().IsOpen());
    EXPECT_TRUE(view.IsFullScreen()) << "Escape closed only the menu";

    // The keyboard's way: the arrows light the next item (round the ends), Enter or Space
    // chooses it.
    window().RightClick({20, 20});
    ASSERT_EQ(window().Menu().Items().front().command, PlayerWindow::kMenuOpen);
    ASSERT_EQ(window().Menu().Items()[1].command, PlayerWindow::kMenuLoop);
    const bool looping = view.Transport().IsLoop();
    window().KeyDown(CZCPlayerView::Key::Down);
    EXPECT_TRUE(window().Menu().IsOpen());
    window().KeyDown(CZCPlayerView::Key::Enter);
    EXPECT_FALSE(window().Menu().IsOpen());
    EXPECT_NE(view.Transport().IsLoop(), looping);
    window().RightClick({20, 20});
    window().KeyDown(CZCPlayerView::Key::Up);
    window().KeyDown(CZCPlayerView::Key::Space);
    EXPECT_TRUE(window().Message().front().starts_with("Lumenreel player ")) << "About is last";
}

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

// With Fit on, playing ticks compose only the parts that changed; the window they leave is the
// one a whole composition makes.
TEST_F(PlayerWindowTest, PartsComposedWhilePlayingFittedLeaveTheWindowAWholeCompositionMakes) {
    window().SetClientSize(700, 520);
    window().View().SetFitChecked(true);
    window().Compose();
    int inParts = 0;
    CImageExt kept;
    for (int i = 0; i < 40; ++i) {
        tick();
        window().Compose();
        if (!window().ComposedParts())
            continue;
        ++inParts;
        ASSERT_TRUE(window().Picture().copyTo(kept));
        window().SetMessage({});
        ASSERT_TRUE(window().Compose());
        ASSERT_FALSE(window().ComposedParts());
        ASSERT_TRUE(window().Picture().equals(kept)) << "tick " << i;
    }
    EXPECT_GT(inParts, 0);
}

TEST_F(PlayerWindowTest, AFailureMessageGoesAfterItsLifetimeOrAtTheNextKey) {
    window().SetMessage({"Cannot play x:", "reason"}, true);
    for (std::uint32_t waited = 0;
         waited + CZCPlayerView::kTimerPeriodMs < PlayerWindow::kMessageLifetimeMs;
         waited += CZCPlayerView::kTimerPeriodMs)
        tick();
    EXPECT_FALSE(window().Message().empty()) << "still within its lifetime";
    tick();
    tick();
    EXPECT_TRUE(window().Message().empty());

    window().SetMessage({"Cannot play x:", "reason"}, true);
    window().KeyDown(CZCPlayerView::Key::Right);
    EXPECT_TRUE(window().Message().empty()) << "the next action ends it";
    window().SetMessage({"No movie is open."});
    window().KeyDown(CZCPlayerView::Key::Right);
    EXPECT_FALSE(window().Message().empty()) << "what to do stays";
}

TEST_F(PlayerWindowTest, LongLinesWrapAndEveryLineFitsTheWidth) {
    const PanelTextStyle style = overlayTextStyle();
    const std::vector<std::string> wrapped =
        wrapLines({"the published demo cannot be read because its picture stream ends early", ""},
                  200, style);
    ASSERT_GE(wrapped.size(), 4u);
    EXPECT_EQ(wrapped.back(), "") << "an empty line stays";
    for (const std::string& line : wrapped)
        EXPECT_LE(measureText(line, style).width, 200) << line;
    std::string joined;
    for (std::size_t i = 0; i + 1 < wrapped.size(); ++i)
        joined += (i ? " " : "") + wrapped[i];
    EXPECT_EQ(joined, "the published demo cannot be read because its picture stream ends early");
}

TEST_F(PlayerWindowTest, OverlaysAndNoticesChangeThePictureAndGoAgain) {
    window().Compose();  // the first paint starts the movie afresh
    window().View().Transport().Pause();
    changedTicks(2);
    CImageExt plain;
    ASSERT_TRUE(window().Picture().copyTo(plain));

    window().KeyDown(CZCPlayerView::Key::Help);
    EXPECT_TRUE(window().IsHelpShown());
    EXPECT_TRUE(window().Compose());
    EXPECT_FALSE(window().Picture().equals(plain));
    window().KeyDown(CZCPlayerView::Key::Escape);
    EXPECT_FALSE(window().IsHelpShown()) << "Escape closes the help";

    window().KeyDown(CZCPlayerView::Key::VolumeDown);
    EXPECT_EQ(window().Notice(), "Volume 95 %");
    EXPECT_EQ(window().Gain().level(), SoundGain::kSteps - 1);
    window().KeyDown(CZCPlayerView::Key::Mute);
    EXPECT_TRUE(window().Gain().muted());
    EXPECT_EQ(window().Notice(), "Muted");
    for (int i = 0; i < 2; ++i) {
        window().KeyDown(CZCPlayerView::Key::Loop);
        EXPECT_EQ(window().Notice(), window().View().Transport().IsLoop() ? "Loop on" : "Loop off");
    }
    EXPECT_GT(changedTicks(PlayerWindow::kNoticeLifetimeMs / CZCPlayerView::kTimerPeriodMs + 2), 0);
    EXPECT_TRUE(window().Notice().empty());
    EXPECT_TRUE(window().Picture().equals(plain)) << "everything laid over the movie has gone";
}

TEST_F(PlayerWindowTest, StatisticsShowRenderTimeShownFramesAudioOffsetAndSpeed) {
    window().KeyDown(CZCPlayerView::Key::Statistics);
    const int shown = changedTicks(40);  // one second of ticks
    const std::vector<std::string> lines = window().StatisticsLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("Render: ", 0), 0u);
    EXPECT_EQ(lines[1], "Shown: " + std::to_string(shown) + " frames/s");
    EXPECT_EQ(lines[2], "Audio offset: no sound playing") << "the test demo has no sound";
    EXPECT_EQ(lines[3], "Speed: \u00d71");
    window().KeyDown(CZCPlayerView::Key::Faster);
    EXPECT_EQ(window().StatisticsLines()[3], "Speed: \u00d71.25");
}

TEST_F(PlayerWindowTest, AnOpenedMovieDoesNotLoopAndTheLoopKeyLightsTheButton) {
    window().Compose();  // the first paint applies the movie again
    tick();
    EXPECT_FALSE(window().View().Transport().IsLoop());
    EXPECT_FALSE(window().Panel().Button(CPlayerNavigateDialog::kLoop)->GetCheck());
    window().KeyDown(CZCPlayerView::Key::Loop);
    tick();
    EXPECT_TRUE(window().View().Transport().IsLoop());
    EXPECT_TRUE(window().Panel().Button(CPlayerNavigateDialog::kLoop)->GetCheck());
}

TEST_F(PlayerWindowTest, SIsSavedBesideTheMovieAsItsMomentAndTheTitleNamesIt) {
    EXPECT_EQ(host.title, "demo.zcd — Lumenreel Player");
    dialog.PauseAt(1.25f);
    tick();
    const std::optional<std::filesystem::path> saved = dialog.SaveMomentPicture();
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, dir / "demo-00m01.250s.png");
    const FileBytes bytes = readFileBytes(*saved, 1 << 24);
    CImageExt picture;
    ASSERT_TRUE(decodePng(bytes.bytes, picture));
    EXPECT_EQ(picture.width(), 300);
    EXPECT_EQ(picture.height(), 200);
    EXPECT_EQ(window().Notice(), "Saved demo-00m01.250s.png");
}

TEST_F(PlayerWindowTest, LoadFailuresGoToTheErrorLogAndTheTitleForgetsTheMovie) {
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    dialog.SetErrorLog(log);
    dialog.OpenMovieFile(dir / "missing.zcd");
    EXPECT_EQ(host.title, "demo.zcd — Lumenreel Player") << "a file not read keeps the movie";
    std::vector<std::uint8_t> damaged = makeTestDemo(64, 48);
    damaged.resize(damaged.size() / 2);
    writeBytes(dir / "bad.zcd", damaged);
    dialog.OpenMovieFile(dir / "bad.zcd");
    std::rewind(log);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, log), nullptr);
    std::fclose(log);
    EXPECT_EQ(std::string(line).rfind("lumenreel-player: missing.zcd: ", 0), 0u) << line;
    EXPECT_EQ(host.title, "Lumenreel Player");
}

}  // namespace
}  // namespace lumenreel::test
