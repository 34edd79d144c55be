#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "PlayerTestSupport.h"
#include "RecordingHost.h"
#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "images/Resampler.h"
#include "player/PanelNavigateDialog.h"
#include "player/PlayerView.h"

namespace lumenreel::test {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000;

// The frame painter counts its drawings so tests see when the skin would be drawn.
class ViewPictureTest : public ::testing::Test {
protected:
    ViewPictureTest() {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        view = std::make_unique<CZCPlayerView>(clock, std::move(owned));
        view->SetFramePainter([this](CImageExt&, const Rect&) { ++frameDrawings; });
    }

    // Loads the scripted movie into a movie area of the given size and renders one moment.
    const CImageExt& show(int areaWidth, int areaHeight, bool fit) {
        view->SetClientSize(areaWidth, areaHeight);
        view->SetFitChecked(fit);
        view->Paint();
        clock.advance(25);
        view->OnTimer();
        return view->Paint();
    }

    FakeTickClock clock;
    ScriptedSource* source = nullptr;
    std::unique_ptr<CZCPlayerView> view;
    int frameDrawings = 0;
};

// The picture covers exactly [x, x + w) × [y, y + h) of the buffer; everything else is black.
void expectPictureAt(const CImageExt& buffer, int x, int y, int w, int h, std::uint32_t colour) {
    ASSERT_FALSE(buffer.isNull());
    int wrong = 0;
    for (int py = 0; py < buffer.height(); ++py)
        for (int px = 0; px < buffer.width(); ++px) {
            bool inside = px >= x && px < x + w && py >= y && py < y + h;
            wrong += buffer.pixel(px, py) != (inside ? colour : kBlack);
        }
    EXPECT_EQ(wrong, 0) << "picture expected at " << x << "," << y << " size " << w << "x" << h;
}

TEST_F(ViewPictureTest, PictureOfTheMovieSizeIsCentredOnBlack) {
    expectPictureAt(show(800, 600, false), 80, 60, 640, 480, source->colour);
    EXPECT_TRUE(view->GetScaledImage().isNull());
}

TEST_F(ViewPictureTest, FitKeepsTheProportionsShowsANearFitUnscaledAndFullScreenScalesUp) {
    expectPictureAt(show(800, 400, true), 133, 0, 533, 400, source->colour);
    expectPictureAt(show(650, 488, true), 5, 4, 640, 480, source->colour);
    EXPECT_TRUE(view->GetScaledImage().equals(view->GetFrameImage())) << "1:1, not resampled";
    view->SetFullScreen(true);
    expectPictureAt(show(1600, 1000, false), 133, 0, 1333, 1000, source->colour);
}

// A HiDPI screen's scale: the picture shows that many times as large unless it is fitted, and a
// fitted area within the tolerance of that size shows it at exactly that size.
TEST_F(ViewPictureTest, AMovieScaleShowsThePictureThatManyTimesAsLargeUnlessFitted) {
    view->SetMovieScale(2);
    expectPictureAt(show(1400, 1000, false), 60, 20, 1280, 960, source->colour);
    expectPictureAt(show(1300, 975, true), 10, 7, 1280, 960, source->colour);
    expectPictureAt(show(800, 400, true), 133, 0, 533, 400, source->colour);
    view->SetFitMode(CZCPlayerView::FitMode::Stretch);
    expectPictureAt(show(1400, 1000, false), 60, 20, 1280, 960, source->colour);
}

TEST_F(ViewPictureTest, FitStretchesThePictureOverTheWholeAreaOnRequest) {
    view->SetFitMode(CZCPlayerView::FitMode::Stretch);
    expectPictureAt(show(800, 600, true), 0, 0, 800, 600, source->colour);
    EXPECT_EQ(view->GetScaledImage().width(), 800);
    EXPECT_EQ(view->GetScaledImage().height(), 600);
}

TEST_F(ViewPictureTest, BitmapLargerThanTheDisplayIsScaledToTheDisplaySize) {
    source->bitmap = {1280, 1024};
    source->display = {640, 512};
    expectPictureAt(show(800, 600, false), 80, 44, 640, 512, source->colour);
}

TEST_F(ViewPictureTest, FitKeepsTheDisplayProportionsWhenTheBitmapDiffers) {
    source->bitmap = {1280, 1024};
    source->display = {640, 512};
    expectPictureAt(show(500, 500, true), 0, 50, 500, 400, source->colour);
}

TEST_F(ViewPictureTest, UnloadingLeavesABlackAreaNotTheLastPicture) {
    show(800, 600, false);
    source->loaded = false;
    view->AfterLoad();
    expectPictureAt(view->Paint(), 0, 0, 0, 0, source->colour);
}

TEST_F(ViewPictureTest, PictureLargerThanTheAreaIsAnchoredTopLeftAndClipped) {
    expectPictureAt(show(600, 400, false), 0, 0, 600, 400, source->colour);
}

TEST_F(ViewPictureTest, MovieAreaLeavesRoomForTheWindowFrameAndThePanel) {
    view->SetWindowFrameMetrics({5, 20, 6, 7});
    view->SetPanelHeight(40);
    const CImageExt& buffer = show(700, 600, false);
    EXPECT_EQ(view->MovieRect(), (Rect{5, 20, 694, 553}));
    // 689 × 533 area: the 640 × 480 picture sits at (5 + 24, 20 + 26).
    EXPECT_EQ(buffer.pixel(29, 46), source->colour);
    EXPECT_EQ(buffer.pixel(28, 46), kBlack);
    EXPECT_EQ(buffer.pixel(29 + 639, 46 + 479), source->colour);
    EXPECT_EQ(buffer.pixel(29 + 640, 46 + 479), kBlack);
    EXPECT_EQ(frameDrawings, 1);
}

TEST_F(ViewPictureTest, FullScreenUsesTheWholeClientAreaWithoutTheFrame) {
    view->SetWindowFrameMetrics({5, 20, 6, 7});
    view->SetPanelHeight(40);
    RecordingHost host;
    view->SetHost(&host);
    show(800, 600, false);
    int drawnWindowed = frameDrawings;
    view->OnKeyDown(CZCPlayerView::Key::F12);
    EXPECT_TRUE(view->IsFullScreen());
    EXPECT_TRUE(view->GetPanel().fullScreenChecked);
    EXPECT_EQ(host.count("full screen"), 1);
    EXPECT_EQ(view->MovieRect(), (Rect{0, 0, 800, 600}));
    expectPictureAt(view->Paint(), 80, 60, 640, 480, source->colour);
    EXPECT_EQ(frameDrawings, drawnWindowed);
    view->OnDoubleClick();
    EXPECT_FALSE(view->IsFullScreen());
    EXPECT_EQ(frameDrawings, drawnWindowed + 1);
}

TEST_F(ViewPictureTest, FullScreenPanelHidesAfterTwoIdleSecondsAndReturnsOnMovement) {
    // An unskinned panel along the bottom, 45 pixels high, of a window filling the screen.
    CPlayerNavigateDialog panel;
    RecordingHost host;
    host.screen = {0, 0, 800, 600};
    host.cursor = Point{100, 100};
    view->SetPanel(&panel);
    view->SetHost(&host);
    // As in the shell, a tick before the first paint has told the view where the mouse is, so
    // loading takes that place as the resting one.
    view->OnTimer();
    show(800, 600, false);
    view->ToggleFullScreen();
    auto tick = [&](int count) {
        for (int i = 0; i < count; ++i) {
            clock.advance(25);
            view->OnTimer();
        }
    };
    tick(1);
    EXPECT_TRUE(view->GetPanel().visible);
    tick(79);  // exactly 2 s idle: still shown
    EXPECT_TRUE(view->GetPanel().visible);
    tick(1);
    EXPECT_FALSE(view->GetPanel().visible);
    tick(10);  // a still mouse keeps it hidden
    EXPECT_FALSE(view->GetPanel().visible);
    host.cursor = Point{120, 100};
    tick(1);
    EXPECT_TRUE(view->GetPanel().visible);
    // Resting over the panel keeps it up.
    host.cursor = Point{400, 580};
    tick(200);
    EXPECT_TRUE(view->GetPanel().visible);
    // Windowed, the panel always shows.
    host.cursor = Point{120, 100};
    tick(100);
    EXPECT_FALSE(view->GetPanel().visible);
    view->ToggleFullScreen();
    tick(1);
    EXPECT_TRUE(view->GetPanel().visible);
}

TEST_F(ViewPictureTest, ResizingWithFitRescalesToTheNewArea) {
    show(800, 600, true);
    view->SetClientSize(400, 300);
    EXPECT_EQ(view->GetScaledImage().width(), 400);
    expectPictureAt(view->Paint(), 0, 0, 400, 300, source->colour);
}

// Enlarged, the movie goes to the presenter at its own size, under a clear hole in the back
// buffer; shrunk, or with the presenter not scaling, the view resamples it as ever.
TEST_F(ViewPictureTest, APresenterThatScalesGetsTheEnlargedMovieAsALayer) {
    view->SetPresenterScales(true);
    view->SetFullScreen(true);
    expectPictureAt(show(1600, 1000, false), 133, 0, 1333, 1000, 0x00000000);
    std::optional<CZCPlayerView::MovieLayer> layer = view->GetMovieLayer();
    ASSERT_TRUE(layer.has_value());
    EXPECT_EQ(layer->picture, &view->GetFrameImage());
    EXPECT_EQ(layer->destination, (Rect{133, 0, 1466, 1000}));
    EXPECT_TRUE(view->GetScaledImage().isNull()) << "nothing resampled";

    const std::uint64_t backBuffer = view->BackBufferVersion();
    view->RenderAt(2.0f);
    view->Paint();
    ASSERT_TRUE(view->GetMovieLayer().has_value());
    EXPECT_NE(view->GetMovieLayer()->version, layer->version) << "a new moment is a new version";
    EXPECT_EQ(view->BackBufferVersion(), backBuffer) << "the back buffer stays as it was";

    view->SetFullScreen(false);
    expectPictureAt(show(400, 300, true), 0, 0, 400, 300, source->colour);
    EXPECT_FALSE(view->GetMovieLayer().has_value()) << "shrinking is resampled";
    view->SetFullScreen(true);
    view->SetPresenterScales(false);
    expectPictureAt(show(1600, 1000, false), 133, 0, 1333, 1000, source->colour);
    EXPECT_FALSE(view->GetMovieLayer().has_value());
}

// A screen of noise with a cursor-sized block whose place follows the second (the third second's
// at the top-right corner, kept after it); from the fifth second on, other noise.
void drawMovingBlock(float t, CImageExt& target) {
    std::mt19937 random(t < 4.0f ? 1 : 2);
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            target.setPixel(x, y, 0xFF000000 | (random() & 0xFFFFFF));
    const int step = std::min(2, static_cast<int>(t));
    const int left = step == 2 ? target.width() - 11 : 200 + 15 * step, top = step == 2 ? 0 : 150;
    fillPixels(target.view(), left, top, 11, 17, 0xFFFFFFFF);
}

TEST_F(ViewPictureTest, MomentsResampleOnlyWhatChangedAndShowWhatAWholeRescaleShows) {
    source->drawOver = drawMovingBlock;
    show(1000, 700, true);
    const CImageExt& scaled = view->GetScaledImage();
    ASSERT_EQ(scaled.width(), 933);
    const Rect area = view->MovieRect();
    const int x = static_cast<int>(area.width() - scaled.width()) / 2;
    const int y = static_cast<int>(area.height() - scaled.height()) / 2;
    CImageExt whole;
    whole.create(scaled.width(), scaled.height(), 32);
    // How many back buffer pixels each moment may draw again.
    struct Moment {
        float t;
        std::int64_t fewest, most;
    };
    const std::int64_t all = std::int64_t{scaled.width()} * scaled.height();
    for (const Moment moment : {Moment{1.5f, 1, 2000}, Moment{0.5f, 1, 2000}, Moment{2.5f, 1, 2000},
                                Moment{3.5f, 0, 0}, Moment{4.5f, all, all}}) {
        SCOPED_TRACE(moment.t);
        view->TakeBackBufferChanges(view->BackBufferVersion());
        const std::uint64_t before = view->BackBufferVersion();
        view->RenderAt(moment.t);
        const CImageExt& shown = view->Paint();
        ASSERT_TRUE(resample(view->GetFrameImage().view(), whole.view(), 1));
        EXPECT_TRUE(scaled.equals(whole));
        int wrong = 0;
        for (int py = 0; py < whole.height(); ++py)
            for (int px = 0; px < whole.width(); ++px)
                wrong += shown.pixel(area.left + x + px, area.top + y + py) != whole.pixel(px, py);
        EXPECT_EQ(wrong, 0);
        const std::optional<std::vector<Rect>> parts = view->TakeBackBufferChanges(before);
        ASSERT_TRUE(parts.has_value());
        std::int64_t drawn = 0;
        for (const Rect& part : *parts)
            drawn += part.width() * part.height();
        // Two 11 x 17 blocks scaled by 1.46, with the kernel's reach, are well under 2000.
        EXPECT_GE(drawn, moment.fewest);
        EXPECT_LE(drawn, moment.most);
        if (moment.most == 0) {
            EXPECT_EQ(view->BackBufferVersion(), before) << "a moment like the last is not shown";
        }
    }
}

}  // namespace
}  // namespace lumenreel::test
