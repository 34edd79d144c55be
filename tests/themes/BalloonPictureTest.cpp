#include <gtest/gtest.h>

#include "images/ImageExt.h"
#include "richtext/AutoRichEditCtrl.h"
#include "themes/BalloonPicture.h"

namespace lumenreel::test {
namespace {

constexpr const char* kText =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs28 WWWW\\par}";

int opaquePixels(const CImageExt& picture, const Rect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += (picture.pixel(x, y) >> 24) != 0;
    return count;
}

TEST(BalloonPictureTest, WithoutATemplateOnlyTheTextIsOpaque) {
    CAutoRichEditCtrl control;
    BalloonShape shape;
    shape.width = 60;
    shape.height = 30;
    shape.textArea = {10, 5, 50, 25};
    shape.richText = kText;
    CImageExt picture = makeBalloonPicture(shape, control);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(opaquePixels(picture, shape.textArea), 10);
    EXPECT_EQ(opaquePixels(picture, {0, 0, 60, 30}), opaquePixels(picture, shape.textArea));
}

TEST(BalloonPictureTest, ATextAreaReachingOutsideIsClippedToTheBalloon) {
    CAutoRichEditCtrl control;
    BalloonShape shape;
    shape.width = 30;
    shape.height = 20;
    shape.textArea = {-500, -500, 500, 500};
    shape.richText = kText;
    CImageExt picture = makeBalloonPicture(shape, control);
    ASSERT_EQ(picture.width(), 30);
    EXPECT_GT(opaquePixels(picture, {0, 0, 30, 20}), 10);
}

TEST(BalloonPictureTest, SizesOutOfBoundsGiveNoPicture) {
    CAutoRichEditCtrl control;
    for (auto [w, h] :
         {std::pair<std::int64_t, std::int64_t>{0, 10}, {10, -1}, {1 << 20, 1 << 20}}) {
        BalloonShape shape;
        shape.width = w;
        shape.height = h;
        EXPECT_TRUE(makeBalloonPicture(shape, control).isNull()) << w << " x " << h;
    }
}

}  // namespace
}  // namespace lumenreel::test
