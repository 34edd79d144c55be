#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingHost.h"
#include "SkinTestSupport.h"
#include "base/DiskFile.h"
#include "player/InternalButton.h"
#include "player/WindowFrame.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

// The default skin's frame around a 640 × 400 back buffer with the movie in (5, 30)-(635, 350).
class WindowFrameTest : public ::testing::Test {
protected:
    WindowFrameTest() {
        frame.SetHost(&host);
        frame.LoadSkin({defaultSkinPackage().FileSystem(), {}});
        backBuffer.create(640, 400, 32);
        const WindowFrameMetrics m = frame.Metrics();
        movie = {m.leftFillWidth, m.upperRightHeight, 640 - m.rightFillWidth,
                 400 - 45 - m.bottomFillHeight};
        frame.DrawWindowFrame(backBuffer, movie);
    }

    void clickAt(Point p) {
        frame.MouseMove(p, p);
        frame.MouseDown(p, p, {0, 0});
        frame.MouseUp(p);
    }
    Point centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    RecordingHost host;
    std::vector<std::string>& calls = host.calls;
    CWindowFrame frame;
    CImageExt backBuffer;
    Rect movie;
};

TEST_F(WindowFrameTest, ButtonsSitInTheTopStripFromTheRightEdge) {
    ASSERT_TRUE(frame.IsLoaded());
    const Rect close = frame.CloseButton().GetRect();
    const Rect maximise = frame.MaximiseButton().GetRect();
    const Rect minimise = frame.MinimiseButton().GetRect();
    EXPECT_EQ(close.left, 640 - 26);
    EXPECT_EQ(close.top, 8);
    EXPECT_EQ(maximise.left, 640 - 28 - close.width());
    EXPECT_EQ(minimise.left, 640 - 30 - 2 * maximise.width());
    EXPECT_GT(close.width(), 0);
    EXPECT_LE(minimise.right, maximise.left);
    EXPECT_LE(maximise.right, close.left);
}

TEST_F(WindowFrameTest, ButtonActionsAndTheMaximiseRestoreSwap) {
    clickAt(centre(frame.MinimiseButton().GetRect()));
    clickAt(centre(frame.MaximiseButton().GetRect()));
    EXPECT_TRUE(frame.IsMaximisedLook());
    clickAt(centre(frame.MaximiseButton().GetRect()));
    EXPECT_FALSE(frame.IsMaximisedLook());
    clickAt(centre(frame.CloseButton().GetRect()));
    EXPECT_EQ(calls, (std::vector<std::string>{"minimise", "maximise", "restore", "close"}));

    // Released away from the button: no action.
    const Point onClose = centre(frame.CloseButton().GetRect());
    frame.MouseDown(onClose, onClose, {0, 0});
    frame.MouseUp({300, 200});
    EXPECT_EQ(calls.size(), 4u);
}

TEST_F(WindowFrameTest, HoverRedrawsOnlyTheButtonThatChanged) {
    const Rect close = frame.CloseButton().GetRect();
    CImageExt before;
    ASSERT_TRUE(backBuffer.copyTo(before));
    EXPECT_FALSE(frame.DrawDirtyButtons(backBuffer));
    frame.MouseMove(centre(close), centre(close));
    EXPECT_TRUE(frame.CloseButton().IsDirty());
    EXPECT_FALSE(frame.MinimiseButton().IsDirty());
    EXPECT_TRUE(frame.DrawDirtyButtons(backBuffer));
    EXPECT_GT(backBuffer.countDifferences(before, close.left, close.top, close.width(),
                                          close.height(), close.left, close.top),
              0);
    EXPECT_EQ(backBuffer.countDifferences(before, 0, 0, close.left, 400, 0, 0), 0);
}

TEST_F(WindowFrameTest, DraggingTheTopStripMovesTheWindow) {
    EXPECT_TRUE(frame.MouseDown({200, 10}, {1200, 310}, {1000, 300}));
    EXPECT_TRUE(frame.MouseMove({230, 15}, {1230, 325}));
    ASSERT_TRUE(frame.DragWindowPosition());
    EXPECT_EQ(*frame.DragWindowPosition(), (Point{1030, 315}));
    EXPECT_TRUE(frame.MouseUp({230, 15}));
    EXPECT_FALSE(frame.DragWindowPosition());

    // Below the strip (the movie) nothing is dragged.
    EXPECT_FALSE(frame.MouseDown({200, 100}, {1200, 400}, {1000, 300}));
    EXPECT_FALSE(frame.MouseMove({260, 120}, {1260, 420}));
    EXPECT_FALSE(frame.DragWindowPosition());
}

TEST_F(WindowFrameTest, FramePartsSurroundTheMovieArea) {
    const WindowFrameMetrics m = frame.Metrics();
    EXPECT_GT(m.upperRightHeight, 0);
    EXPECT_GT(m.leftFillWidth, 0);
    EXPECT_GT(m.rightFillWidth, 0);
    EXPECT_GT(m.bottomFillHeight, 0);
    // The movie area is left alone (the back buffer was zero there), the border is painted.
    EXPECT_EQ(backBuffer.pixel(320, 200), 0u);
    EXPECT_EQ(backBuffer.pixel(movie.left, movie.top), 0u);
    EXPECT_NE(backBuffer.pixel(320, 2), 0u);
    EXPECT_NE(backBuffer.pixel(1, 200), 0u);
    EXPECT_NE(backBuffer.pixel(638, 200), 0u);
    EXPECT_NE(backBuffer.pixel(320, movie.bottom), 0u);
    EXPECT_EQ(backBuffer.pixel(320, movie.bottom - 1), 0u);

    if (std::getenv("LUMENREEL_KEEP_RENDERINGS")) {
        CDiskFile out;
        ASSERT_TRUE(
            out.Open((binaryDir() / "frame_default.png").string(), CDiskFile::Mode::createWrite));
        backBuffer.savePng(out);
    }
}

TEST(InternalButtonTest, WithoutPicturesItHasNoAreaAndMultiSetsSelectOnlyValidIndexes) {
    CInternalButton bare;
    bare.SetPosition({10, 10});
    EXPECT_EQ(bare.GetRect(), Rect{});
    EXPECT_FALSE(bare.MouseDown({10, 10}));

    CInternalButton_multiImages multi;
    EXPECT_EQ(multi.CurrentImageSet(), -1);
    const SkinSource skin{defaultSkinPackage().FileSystem(), {}};
    multi.SetSkin(&skin);
    const std::string f = kSkinFolder;
    multi.AddImageSet(f + "max_n.png", f + "max_hn.png", f + "max_p.png", f + "max_hp.png");
    EXPECT_EQ(multi.CurrentImageSet(), 0);
    multi.AddImageSet(f + "collapse_n.png", "", "", "");
    multi.SelectImageSet(1);
    EXPECT_EQ(multi.CurrentImageSet(), 1);
    multi.SelectImageSet(2);
    EXPECT_EQ(multi.CurrentImageSet(), 1);
    // Without a pressed picture the normal one gives the height, so the button stays usable.
    multi.SetPosition({0, 0});
    EXPECT_GT(multi.GetRect().height(), 0);
    bool called = false;
    multi.SetCallback([&called](void*) { called = true; }, nullptr);
    EXPECT_TRUE(multi.MouseDown({1, 1}));
    EXPECT_FALSE(multi.MouseDown({1, 1}));  // already pressed
    multi.MouseUp({1, 1});
    EXPECT_TRUE(called);
}

}  // namespace
}  // namespace lumenreel::test
