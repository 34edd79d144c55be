#include <gtest/gtest.h>

#include <memory>

#include "PlayerTestSupport.h"
#include "RecordingHost.h"
#include "SkinTestSupport.h"
#include "player/SkinnedPlayerView.h"
#include "storage/PlayerTranslateInterface.h"

namespace lumenreel::test {
namespace {

Point centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class SkinnedPlayerViewTest : public ::testing::Test {
protected:
    SkinnedPlayerViewTest() : texts(*defaultSkinPackage().FileSystem()) {
        auto owned = std::make_unique<ScriptedSource>();
        source = owned.get();
        view = std::make_unique<CSkinnedPlayerView>(clock, std::move(owned));
        view->LoadSkin(defaultSkinPackage().FileSystem(), &texts);
        view->SetClientSize(640, 480);
        view->Paint();
    }
    void tick() {
        clock.advance(CZCPlayerView::kTimerPeriodMs);
        view->OnTimer();
    }
    void click(int id) {
        const Point p = centre(view->Panel().Button(id)->GetRect());
        view->Panel().OnLButtonDown(p);
        view->Panel().OnLButtonUp(p);
    }

    FakeTickClock clock{1000};
    CPlayerTranslateInterface texts;
    ScriptedSource* source = nullptr;
    std::unique_ptr<CSkinnedPlayerView> view;
};

// Writes down, as each tick presents the window, the moment last rendered (-1 for none) and
// where the panel was taken to be on the screen.
class PresentingHost : public RecordingHost {
public:
    explicit PresentingHost(const ScriptedSource& source, const CZCPlayerView& view)
        : m_source(source), m_view(view) {}
    std::vector<float> renderedAtPresent;
    std::vector<Rect> panelAtPresent;

    void Present() override {
        RecordingHost::Present();
        renderedAtPresent.push_back(m_source.renderedTimes.empty() ? -1.0f
                                                                   : m_source.renderedTimes.back());
        panelAtPresent.push_back(m_view.GetPanel().screenRect);
    }

private:
    const ScriptedSource& m_source;
    const CZCPlayerView& m_view;
};

TEST_F(SkinnedPlayerViewTest, TheFrameSurroundsTheMovieAreaAboveThePanel) {
    const WindowFrameMetrics m = view->Frame().Metrics();
    const Rect area = view->MovieRect();
    EXPECT_EQ(area, (Rect{m.leftFillWidth, m.upperRightHeight, 640 - m.rightFillWidth,
                          480 - view->Panel().Height() - m.bottomFillHeight}));
    const CImageExt& buffer = view->GetBackBuffer();
    EXPECT_NE(buffer.pixel(320, 2) & 0xFFFFFF, 0u);  // title strip
    EXPECT_EQ(view->PanelRect(), (Rect{0, 435, 640, 480}));
    EXPECT_EQ(view->Panel().Picture().width(), 640);
}

TEST_F(SkinnedPlayerViewTest, EachTickFollowsTheScreenThenPresentsTheMomentItRendered) {
    PresentingHost host(*source, *view);
    host.screen = {100, 50, 740, 530};
    view->SetHost(&host);
    view->Transport().Play();
    for (int i = 1; i <= 3; ++i) {
        tick();
        ASSERT_EQ(host.count("present"), i);
        EXPECT_FLOAT_EQ(host.renderedAtPresent.back(), view->Transport().GetTime());
        EXPECT_EQ(host.panelAtPresent.back(), (Rect{100, 485, 740, 530}));
    }

    // Hidden, the movie holds still but the window is still presented.
    view->SetVisible(false);
    const std::size_t renders = source->renderedTimes.size();
    tick();
    EXPECT_EQ(host.count("present"), 4);
    EXPECT_EQ(source->renderedTimes.size(), renders);
}

TEST_F(SkinnedPlayerViewTest, WithoutAMovieATickStillShowsThePanelsTooltip) {
    source->loaded = false;
    view->SetExternalReader(nullptr);
    RecordingHost host;
    view->SetHost(&host);
    view->Panel().OnMouseMove(
        centre(view->Panel().Button(CPlayerNavigateDialog::kPlay)->GetRect()));
    for (int i = 0; i < CPlayerNavigateDialog::kTooltipDelayTicks; ++i)
        tick();
    EXPECT_TRUE(view->Panel().CurrentTooltip());
    EXPECT_EQ(host.count("present"), CPlayerNavigateDialog::kTooltipDelayTicks);
    EXPECT_TRUE(source->renderedTimes.empty());
}

TEST_F(SkinnedPlayerViewTest, PanelFitAndFullScreenStayInStepWithTheView) {
    click(CPlayerNavigateDialog::kFit);
    EXPECT_TRUE(view->IsFitChecked());
    click(CPlayerNavigateDialog::kFit);
    EXPECT_FALSE(view->IsFitChecked());

    view->OnKeyDown(CZCPlayerView::Key::F12);
    tick();
    EXPECT_TRUE(view->IsFullScreen());
    EXPECT_TRUE(view->Panel().Button(CPlayerNavigateDialog::kFullScreen)->GetCheck());
    click(CPlayerNavigateDialog::kFullScreen);
    EXPECT_FALSE(view->IsFullScreen());
}

TEST_F(SkinnedPlayerViewTest, StopUnchecksRecordAndEnablesSeeking) {
    view->Panel().SetRecordChecked(true, false);
    view->Panel().EnableSeeking(false);
    view->Transport().Play();
    click(CPlayerNavigateDialog::kStop);
    EXPECT_FALSE(view->Panel().Button(CPlayerNavigateDialog::kRecord)->GetCheck());
    EXPECT_TRUE(view->Panel().Button(CPlayerNavigateDialog::kForward)->IsEnabled());
}

TEST_F(SkinnedPlayerViewTest, HoveringTheCloseButtonRepaintsItInTheBackBuffer) {
    const Rect close = view->Frame().CloseButton().GetRect();
    ASSERT_GT(close.width(), 0);
    CImageExt before;
    ASSERT_TRUE(view->GetBackBuffer().copyTo(before));
    EXPECT_TRUE(view->FrameMouseMove(centre(close), centre(close)));
    EXPECT_GT(view->GetBackBuffer().countDifferences(before, close.left, close.top, close.width(),
                                                     close.height(), close.left, close.top),
              0);
    EXPECT_TRUE(view->FrameMouseMove({10, 200}, {10, 200}));
    EXPECT_EQ(view->GetBackBuffer().countDifferences(before, close.left, close.top, close.width(),
                                                     close.height(), close.left, close.top),
              0)
        << "leaving the button brings back its first look";
    RecordingHost host;
    view->Frame().SetHost(&host);
    EXPECT_TRUE(view->FrameMouseDown(centre(close), centre(close), {0, 0}));
    EXPECT_TRUE(view->FrameMouseUp(centre(close)));
    EXPECT_EQ(host.count("close"), 1);
}

TEST_F(SkinnedPlayerViewTest, MaximisedLookReachesTheBackBufferWithTheChangedButtons) {
    const Rect maximise = view->Frame().MaximiseButton().GetRect();
    ASSERT_GT(maximise.width(), 0);
    CImageExt before;
    ASSERT_TRUE(view->GetBackBuffer().copyTo(before));
    view->Frame().SetMaximised(true);
    view->Paint();
    EXPECT_TRUE(view->DrawChangedFrameButtons());
    EXPECT_GT(view->GetBackBuffer().countDifferences(before, maximise.left, maximise.top,
                                                     maximise.width(), maximise.height(),
                                                     maximise.left, maximise.top),
              0);
    EXPECT_FALSE(view->DrawChangedFrameButtons());
}

TEST_F(SkinnedPlayerViewTest, PanelCreatedAfterTheFirstPaintMovesTheFrameAboveIt) {
    CSkinnedPlayerView late(clock);
    late.LoadSkin(defaultSkinPackage().FileSystem(), &texts);
    late.SetClientSize(640, 480);
    late.EnsureBackBuffer();
    late.CreatePanelWindow();
    late.EnsureBackBuffer();

    CSkinnedPlayerView early(clock);
    early.LoadSkin(defaultSkinPackage().FileSystem(), &texts);
    early.SetClientSize(640, 480);
    early.CreatePanelWindow();
    early.EnsureBackBuffer();
    EXPECT_EQ(late.GetBackBuffer().countDifferences(early.GetBackBuffer(), 0, 0, 640, 480, 0, 0),
              0);
}

TEST_F(SkinnedPlayerViewTest, PanelLeavesTheWindowOnlyWhenHiddenInFullScreen) {
    EXPECT_GT(view->PanelRect().width(), 0);
    view->ShowPanel(false);
    EXPECT_GT(view->PanelRect().width(), 0) << "a windowed player always shows its panel";
    view->ToggleFullScreen();
    view->ShowPanel(false);
    EXPECT_EQ(view->PanelRect().width(), 0);
    view->ShowPanel(true);
    EXPECT_EQ(view->PanelRect(), (Rect{0, 435, 640, 480}));
}

}  // namespace
}  // namespace lumenreel::test
