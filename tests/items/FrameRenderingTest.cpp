#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "items/CursorMovement.h"
#include "items/DrawItemCursor.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"

namespace lumenreel::test {
namespace {

constexpr std::uint32_t kBackground = 0x404040;
constexpr std::uint32_t kPen = 0x00FF00;
// Blue: stored colours are 0x00BBGGRR, pixels read back as B | G << 8 | R << 16.
constexpr std::uint32_t kFillStored = 0xFF0000;
constexpr std::uint32_t kFillPixel = 0x0000FF;
constexpr std::uint32_t kPicture = 0x2080C0;

// A 2-second frame drawn at 0.5 s as a frame draws its items, in order: a highlight fading in
// over 1 s (half transparent then), an opaque picture, and the cursor a quarter of the way into
// its move; compared with the frame composed pixel by pixel here.
TEST(FrameRendering, ItemsAtAMomentMatchTheComposedFrame) {
    FakeDocument document;
    document.frames.resize(1);
    document.frames[0].duration = 2.0f;

    CDrawItem_zcHiglight highlight;
    highlight.setDocument(&document);
    auto& style = highlight.highlightProperties();
    style.transparency = 0.0f;
    style.frameSize = 4;
    style.frameColour = kPen;
    style.fillColour = kFillStored;
    highlight.setRect({10, 10, 50, 40}, false);
    highlight.rebuildDisplayImage();
    document.place(0, highlight, 0.0f, 2.0f, kFadeIn, 1.0f);

    CDrawItem_zcImage picture;
    picture.setDocument(&document);
    picture.setSourcePicture(std::make_unique<CImageExt>(filled(20, 20, 0xFF000000 | kPicture)));
    picture.setPosition(100, 20);
    picture.rebuildDisplayImage();
    document.place(0, picture, 0.0f, 2.0f, kFadeNone);

    CursorProperties from;
    from.x = 50;
    from.y = 100;
    from.moveType = 0;
    from.endTime = 2.0f;
    CursorProperties to = from;
    to.x = 150;
    CDrawItem_zcCursor cursor;
    CImageExt mask = filled(4, 4, 0xFF000000);
    cursor.setImage(CursorImage::fromImages(0, 0, std::move(mask), filled(4, 4, 0xFFFFFFFF)));
    const Point at = cursorPointAt(from, &to, 2.0f, 0.5f);
    cursor.setPosition(at.x, at.y);

    CImageExt frame = filled(200, 150, 0xFF000000 | kBackground);
    for (CDrawCommonItem* item :
         {static_cast<CDrawCommonItem*>(&highlight), static_cast<CDrawCommonItem*>(&picture),
          static_cast<CDrawCommonItem*>(&cursor)})
        item->draw(frame, document.contextAt(0, *item, 0.5f));

    // (1 − cos(π / 4)) / 2 of 100 pixels is 14.6: the cursor stands at x = 64.
    ASSERT_EQ(at, (Point{64, 100}));
    const int halfAlpha = static_cast<int>(0.5f * 255.0f);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            std::uint32_t expected = kBackground;
            if (x >= 10 && x < 50 && y >= 10 && y < 40) {
                // The pen is centred on the edges: 2 of its 4 pixels fall inside.
                const bool edge = x < 12 || x >= 48 || y < 12 || y >= 38;
                expected = blended(edge ? kPen : kFillPixel, kBackground, halfAlpha);
            }
            if (x >= 100 && x < 120 && y >= 20 && y < 40)
                expected = kPicture;
            if (x >= 64 && x < 68 && y >= 100 && y < 104)
                expected = 0xFFFFFF;
            expectColour(frame.pixel(x, y), expected);
            if (::testing::Test::HasFailure())
                FAIL() << "first difference at " << x << "," << y;
        }
}

}  // namespace
}  // namespace lumenreel::test
