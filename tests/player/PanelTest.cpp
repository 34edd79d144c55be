#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "PlayerTestSupport.h"
#include "SkinTestSupport.h"
#include "base/DiskFile.h"
#include "player/PanelNavigateDialog.h"
#include "player/PlayerView.h"
#include "player/TimeText.h"
#include "player/Tooltip.h"
#include "storage/PlayerTranslateInterface.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

Point centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The default-skinned panel over a view playing a scripted 10 s, 10-frame movie.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() : texts(*defaultSkinPackage().FileSystem()) {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        view = std::make_unique<CZCPlayerView>(clock, std::move(owned));
        view->SetClientSize(640, 480);
        view->Paint();
        panel.SetTransport(&view->Transport());
        panel.SetTranslator(&texts);
        panel.SetSkin(defaultSkinPackage().FileSystem());
        panel.LoadSkin();
        panel.Create();
    }

    void click(int id) {
        const Point p = centre(panel.Button(id)->GetRect());
        panel.OnMouseMove(p);
        panel.OnLButtonDown(p);
        panel.OnLButtonUp(p);
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            clock.advance(CZCPlayerView::kTimerPeriodMs);
            view->OnTimer();
            panel.Refresh();
        }
    }
    bool checked(int id) { return panel.Button(id)->GetCheck(); }

    FakeTickClock clock{1000};
    ScriptedSource* source = nullptr;
    std::unique_ptr<CZCPlayerView> view;
    CPlayerTranslateInterface texts;
    CPlayerNavigateDialog panel;
};

TEST_F(PanelTest, PlayPauseAndStopDriveTheTransportAndTheChecksFollowIt) {
    view->Transport().SetLoop(false);
    click(CPlayerNavigateDialog::kPlay);
    tick(4);
    EXPECT_TRUE(view->Transport().IsPlaying());
    EXPECT_GT(view->Transport().GetTime(), 0.0f);
    EXPECT_TRUE(checked(CPlayerNavigateDialog::kPlay));
    EXPECT_FALSE(checked(CPlayerNavigateDialog::kStop));
    EXPECT_FALSE(checked(CPlayerNavigateDialog::kPause));

    click(CPlayerNavigateDialog::kPause);
    tick();
    EXPECT_TRUE(view->Transport().IsPaused());
    EXPECT_TRUE(checked(CPlayerNavigateDialog::kPause));
    EXPECT_FALSE(checked(CPlayerNavigateDialog::kPlay)) << "only the state that holds is lit";
    const float pausedAt = view->Transport().GetTime();
    tick(4);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), pausedAt);

    click(CPlayerNavigateDialog::kPause);  // the second press resumes
    tick(4);
    EXPECT_FALSE(view->Transport().IsPaused());
    EXPECT_GT(view->Transport().GetTime(), pausedAt);

    click(CPlayerNavigateDialog::kStop);
    tick();
    EXPECT_FALSE(view->Transport().IsPlaying());
    EXPECT_NEAR(view->Transport().GetTime(), 0.0f, 1e-5f);
    EXPECT_TRUE(checked(CPlayerNavigateDialog::kStop));
    EXPECT_FALSE(checked(CPlayerNavigateDialog::kPlay));

    view->Transport().SetLoop(true);
    source->loaded = false;
    panel.Refresh();
    for (int id : {CPlayerNavigateDialog::kPlay, CPlayerNavigateDialog::kPause,
                   CPlayerNavigateDialog::kStop, CPlayerNavigateDialog::kLoop})
        EXPECT_FALSE(checked(id)) << "nothing is lit without a movie: " << id;
    // Loop still works as a setting for the next movie.
    click(CPlayerNavigateDialog::kLoop);
    EXPECT_FALSE(view->Transport().IsLoop());
    click(CPlayerNavigateDialog::kLoop);
    EXPECT_TRUE(view->Transport().IsLoop());
}

TEST_F(PanelTest, SpaceTogglesPlayAndStepButtonsMoveByTheStepUnlessSeekingIsOff) {
    panel.OnKeyDown(CPlayerNavigateDialog::Key::Space);
    EXPECT_TRUE(view->Transport().IsPlaying());
    panel.OnKeyDown(CPlayerNavigateDialog::Key::Space);
    EXPECT_TRUE(view->Transport().IsPaused());

    view->Transport().SetTime(5.0f);
    click(CPlayerNavigateDialog::kForward);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 8.0f);
    click(CPlayerNavigateDialog::kRewind);
    click(CPlayerNavigateDialog::kRewind);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 2.0f);

    panel.EnableSeeking(false);
    click(CPlayerNavigateDialog::kForward);
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 2.0f);
    EXPECT_FALSE(panel.Button(CPlayerNavigateDialog::kRewind)->IsEnabled());
}

TEST_F(PanelTest, LoopFitAndFullScreenToggleTheirChecksAndRecordIsHidden) {
    EXPECT_TRUE(view->Transport().IsLoop());
    EXPECT_TRUE(checked(CPlayerNavigateDialog::kLoop));  // taken from the transport
    click(CPlayerNavigateDialog::kLoop);
    EXPECT_FALSE(view->Transport().IsLoop());
    click(CPlayerNavigateDialog::kLoop);
    EXPECT_TRUE(view->Transport().IsLoop());

    EXPECT_FALSE(panel.IsFitChecked());
    click(CPlayerNavigateDialog::kFit);
    EXPECT_TRUE(panel.IsFitChecked());
    click(CPlayerNavigateDialog::kFit);
    EXPECT_FALSE(panel.IsFitChecked());

    click(CPlayerNavigateDialog::kFullScreen);
    EXPECT_TRUE(view->IsFullScreen());
    click(CPlayerNavigateDialog::kFullScreen);
    EXPECT_FALSE(view->IsFullScreen());

    CTransparentButton& record = *panel.Button(CPlayerNavigateDialog::kRecord);
    EXPECT_FALSE(record.IsVisible());
    panel.OnLButtonDown({0, 0});  // where its all-zero rectangle would be
    panel.OnLButtonUp({0, 0});
    EXPECT_FALSE(record.GetCheck());
}

TEST_F(PanelTest, APressReleasedAwayFromTheButtonDoesNothing) {
    const Rect play = panel.Button(CPlayerNavigateDialog::kPlay)->GetRect();
    panel.OnLButtonDown(centre(play));
    panel.OnMouseMove({play.right + 40, 30});
    panel.OnLButtonUp({play.right + 40, 30});
    EXPECT_FALSE(view->Transport().IsPlaying());
}

TEST_F(PanelTest, DraggingThePointerSeeksAndClampsAtTheTrackEnds) {
    const Rect pointer = panel.PointerRect();
    EXPECT_EQ(pointer.left, 7);  // start_pointer_pos at t = 0
    const int trackWidth = panel.TrackRect().width();
    ASSERT_GT(trackWidth, 0);

    panel.OnLButtonDown(centre(pointer));
    ASSERT_TRUE(panel.IsDragging());
    EXPECT_TRUE(view->Transport().IsScrubbing());
    panel.OnMouseMove({centre(pointer).x + trackWidth / 2, 5});
    EXPECT_NEAR(view->Transport().GetTime(), 5.0f, 10.0f / trackWidth);

    panel.OnMouseMove({centre(pointer).x + 5000, 5});
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 10.0f - 0.00001f);
    tick();  // the drag keeps seeking each tick
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 10.0f - 0.00001f);

    panel.OnMouseMove({-5000, 5});
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
    panel.OnLButtonUp({-5000, 5});
    EXPECT_FALSE(panel.IsDragging());
    EXPECT_FALSE(view->Transport().IsScrubbing());

    // Below the track a press does not drag; with seeking off neither pointer nor track do.
    panel.OnLButtonDown({200, 40});
    EXPECT_FALSE(panel.IsDragging());
    panel.OnLButtonUp({200, 40});
    panel.EnableSeeking(false);
    panel.OnLButtonDown(centre(panel.PointerRect()));
    panel.OnLButtonDown({200, 8});
    EXPECT_FALSE(panel.IsDragging());
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), 0.0f);
}

TEST_F(PanelTest, APressOnTheTrackJumpsThereAndDragsOnFromIt) {
    const Rect hit = panel.TrackHitRect();
    const int middle = (hit.top + hit.bottom) / 2;
    struct Case {
        int x;
        float time;
    };
    // The pointer's centre lands under the mouse; presses past either end stop at the ends.
    for (const Case& c : {Case{panel.PixelAtTime(7.5f), 7.5f}, Case{panel.PixelAtTime(2.0f), 2.0f},
                          Case{hit.left, 0.0f}, Case{hit.right - 1, 10.0f}}) {
        panel.OnLButtonDown({c.x, middle});
        EXPECT_TRUE(panel.IsDragging()) << c.x;
        EXPECT_NEAR(view->Transport().GetTime(), c.time, 10.0f / hit.width()) << c.x;
        panel.OnLButtonUp({c.x, middle});
    }
    panel.OnLButtonDown({panel.PixelAtTime(5.0f), middle});
    panel.OnMouseMove({panel.PixelAtTime(6.0f), 30});  // the drag goes on below the track
    EXPECT_NEAR(view->Transport().GetTime(), 6.0f, 10.0f / hit.width());
    panel.OnLButtonUp({panel.PixelAtTime(6.0f), 30});
    EXPECT_FALSE(view->Transport().IsScrubbing());
}

TEST_F(PanelTest, HoveringTheTrackShowsAtOnceTheTimeAPressThereSeeksTo) {
    const Rect hit = panel.TrackHitRect();
    const int x = panel.PixelAtTime(4.5f);
    panel.OnMouseMove({x, hit.top});
    ASSERT_TRUE(panel.HoverTime());
    EXPECT_NEAR(*panel.HoverTime(), 4.5f, 10.0f / hit.width());
    const auto tip = panel.CurrentTooltip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->text, "0:04");
    EXPECT_NEAR(tip->anchor.left, x, 1);
    EXPECT_EQ(view->Transport().GetTime(), 0.0f) << "hovering does not seek";
    panel.OnLButtonDown({x, hit.top});
    EXPECT_FLOAT_EQ(view->Transport().GetTime(), *panel.HoverTime());
    panel.OnLButtonUp({x, hit.top});

    panel.OnMouseMove({x, hit.bottom + 5});
    EXPECT_FALSE(panel.HoverTime());
    EXPECT_FALSE(panel.CurrentTooltip());
}

TEST_F(PanelTest, TheGrooveMarksThePlayedPartAndEachFrameStart) {
    view->Transport().Play();
    view->Transport().SetTime(5.5f);
    const CImageExt& picture = panel.Picture();
    const Rect track = panel.TrackRect();
    const int middle = static_cast<int>(track.top + track.height() / 2);
    const auto at = [&](int x, int y) { return picture.pixel(x, y) | 0xFF000000u; };
    EXPECT_EQ(at(panel.PixelAtTime(2.5f), middle), CPlayerNavigateDialog::kPlayedColour);
    EXPECT_NE(at(panel.PixelAtTime(8.5f), middle), CPlayerNavigateDialog::kPlayedColour);
    for (int frame = 1; frame < source->frames; ++frame) {
        const int x = panel.PixelAtTime(static_cast<float>(frame));
        if (x < panel.PointerRect().left || x >= panel.PointerRect().right) {
            EXPECT_EQ(at(x, middle - 2), CPlayerNavigateDialog::kChapterTickColour) << frame;
        }
    }
    // Without a movie the groove stays as the skin draws it.
    source->loaded = false;
    EXPECT_NE(panel.Picture().pixel(panel.PixelAtTime(0.5f), middle) | 0xFF000000u,
              CPlayerNavigateDialog::kPlayedColour);
}

TEST_F(PanelTest, ExtraWidthMovesTheRightHandGroupTrackAndText) {
    EXPECT_EQ(panel.Extra(), 0);
    const int trackAt427 = panel.TrackRect().width();
    panel.SetWidth(500);
    panel.Picture();
    EXPECT_EQ(panel.Extra(), 73);
    EXPECT_EQ(panel.Button(CPlayerNavigateDialog::kFit)->GetRect().left, 308 + 73);
    EXPECT_EQ(panel.Button(CPlayerNavigateDialog::kLoop)->GetRect().left, 280 + 73);
    EXPECT_EQ(panel.Button(CPlayerNavigateDialog::kFullScreen)->GetRect().left, 336 + 73);
    EXPECT_EQ(panel.Button(CPlayerNavigateDialog::kPlay)->GetRect().left, 8);
    EXPECT_EQ(panel.Button(CPlayerNavigateDialog::kForward)->GetRect().left, 123);
    EXPECT_EQ(panel.TextRect().left, 156 + 73);
    EXPECT_EQ(panel.TrackRect().width(), trackAt427 + 73);

    // Narrower than the two caps: the panel keeps the caps' width.
    panel.SetWidth(300);
    EXPECT_EQ(panel.PanelWidth(), 427);
    EXPECT_EQ(panel.Extra(), 0);
}

TEST_F(PanelTest, BackgroundAtAnyWidthRepeatsTheMiddleTileBetweenTheCaps) {
    CImageExt end;
    ASSERT_TRUE(LoadSkinImage(end, std::string(kSkinFolder) + "Body_end.png",
                              {defaultSkinPackage().FileSystem(), {}}));
    for (int width : {427, 428, 640, 1500}) {
        panel.SetWidth(width);
        const CImageExt& picture = panel.Picture();
        ASSERT_EQ(picture.width(), width);
        ASSERT_EQ(picture.height(), CPlayerNavigateDialog::kDefaultHeight);
        const int extra = width - 427;
        // The middle columns (below the buttons and text) all equal the first middle column,
        // and the right cap's bottom rows sit at the right edge.
        for (int x = 152; x < 152 + extra; ++x)
            ASSERT_TRUE(picture.regionEquals(picture, x, 40, 1, 5, 152, 40)) << width << " " << x;
        EXPECT_EQ(picture.countDifferences(end, width - end.width(), 43, end.width(), 2, 0, 43), 0)
            << width;
    }
}

TEST(TimeTextTest, ElapsedOverTotalInMinutesOrHoursAndTheFrameOfTheCount) {
    struct Case {
        float elapsed, total;
        int frame, frames;
        const char* clocks;
        const char* frame_;
    };
    for (const Case& c : {
             Case{0.0f, 74.0f, 0, 13, "0:00 / 1:14", "1/13"},
             Case{2.6f, 74.0f, 0, 13, "0:02 / 1:14", "1/13"},
             Case{75.99f, 600.0f, 2, 13, "1:15 / 10:00", "3/13"},
             Case{59.9f, 3600.0f, 41, 42, "0:00:59 / 1:00:00", "42/42"},
             Case{-3.0f, 5.0f, 0, 1, "0:00 / 0:05", "1/1"},
             Case{1.0f, 5.0f, -1, 1, "0:01 / 0:05", "1/1"},  // before any frame: the first
             Case{1.0f, 5.0f, 0, 0, "0:01 / 0:05", ""},
         }) {
        const PanelTimeText text = panelTimeText(c.elapsed, c.total, c.frame, c.frames);
        EXPECT_EQ(text.clocks, c.clocks) << c.elapsed;
        EXPECT_EQ(text.frame, c.frame_) << c.elapsed;
    }
    EXPECT_EQ(formatClock(3725.0f, true), "1:02:05");
    EXPECT_EQ(formatClock(3725.0f, false), "62:05");
}

TEST_F(PanelTest, TooltipsShowTheTranslatedTextAfterTheMouseRests) {
    const Rect stop = panel.Button(CPlayerNavigateDialog::kStop)->GetRect();
    panel.OnMouseMove(centre(stop));
    EXPECT_FALSE(panel.CurrentTooltip());
    tick(CPlayerNavigateDialog::kTooltipDelayTicks);
    auto tip = panel.CurrentTooltip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->text, "Stop");
    EXPECT_EQ(tip->anchor, stop);

    panel.OnMouseMove(centre(panel.Button(CPlayerNavigateDialog::kFullScreen)->GetRect()));
    EXPECT_FALSE(panel.CurrentTooltip());
    tick(CPlayerNavigateDialog::kTooltipDelayTicks);
    ASSERT_TRUE(panel.CurrentTooltip());
    EXPECT_EQ(panel.CurrentTooltip()->text, "Full screen");
    panel.OnMouseLeave();
    EXPECT_FALSE(panel.CurrentTooltip());
}

TEST(TooltipTest, BubbleHoldsTheTextAndSitsAboveItsButtonWithinTheBounds) {
    EXPECT_TRUE(renderTooltip("").isNull());
    const CImageExt bubble = renderTooltip("Full screen");
    ASSERT_FALSE(bubble.isNull());
    EXPECT_GT(bubble.width(), 2 * bubble.height());
    EXPECT_EQ(bubble.pixel(0, 0) >> 24, 0u);  // outside the rounded corner
    EXPECT_GT(bubble.pixel(bubble.width() / 2, 1) >> 24, 200u);
    // Some pixels of the middle row are light text on the dark box.
    int light = 0;
    for (int x = 0; x < bubble.width(); ++x)
        light += (bubble.pixel(x, bubble.height() / 2) & 0xFF) > 0x80;
    EXPECT_GT(light, 3);

    const Rect bounds{0, 0, 427, 300};
    EXPECT_EQ(placeTooltip({100, 200, 128, 227}, {60, 20}, bounds), (Point{84, 176}));
    EXPECT_EQ(placeTooltip({400, 200, 428, 227}, {60, 20}, bounds), (Point{367, 176}));
    EXPECT_EQ(placeTooltip({0, 5, 28, 32}, {60, 20}, bounds), (Point{0, 36}));
}

TEST_F(PanelTest, HoverAndCheckChooseTheButtonPicture) {
    const Rect play = panel.Button(CPlayerNavigateDialog::kPlay)->GetRect();
    const CImageExt& normal = panel.Picture();
    CImageExt before;
    ASSERT_TRUE(normal.copyTo(before));
    panel.OnMouseMove(centre(play));
    EXPECT_GT(panel.Picture().countDifferences(before, play.left, play.top, play.width(),
                                               play.height(), play.left, play.top),
              0);
    panel.OnMouseLeave();
    EXPECT_EQ(panel.Picture().countDifferences(before, play.left, play.top, play.width(),
                                               play.height(), play.left, play.top),
              0);
}

// The default panel at 5.25 s on the sixth frame, playing, against a stored picture. Fonts may
// render a little differently from machine to machine, so a channel may differ by up to 48 levels
// in at most 2% of the pixels; everything else must match exactly.
TEST_F(PanelTest, SnapshotMatchesTheStoredPicture) {
    view->Transport().Play();
    view->Transport().SetTime(5.25f);
    tick();
    view->Transport().SetTime(5.25f);
    const CImageExt& picture = panel.Picture();
    const auto reference = dataPath("player/panel_default.png");
    if (std::getenv("LUMENREEL_UPDATE_SNAPSHOTS")) {
        CDiskFile out;
        ASSERT_TRUE(out.Open(reference.string(), CDiskFile::Mode::createWrite));
        ASSERT_TRUE(picture.savePng(out));
    }
    CImageExt stored;
    ASSERT_TRUE(stored.loadFromBytes(readBytes(reference)));
    ASSERT_EQ(stored.width(), picture.width());
    ASSERT_EQ(stored.height(), picture.height());
    int far = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t a = picture.pixel(x, y);
            const std::uint32_t b = stored.pixel(x, y);
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(static_cast<int>(a >> shift & 0xFF) -
                                       static_cast<int>(b >> shift & 0xFF));
                ASSERT_LE(d, 48) << x << "," << y;
                if (d != 0) {
                    ++far;
                    break;
                }
            }
        }
    EXPECT_LE(far, picture.width() * picture.height() / 50);
    if (HasFailure()) {
        CDiskFile out;
        if (out.Open((binaryDir() / "panel_default_actual.png").string(),
                     CDiskFile::Mode::createWrite))
            picture.savePng(out);
    }
}

}  // namespace
}  // namespace lumenreel::test
