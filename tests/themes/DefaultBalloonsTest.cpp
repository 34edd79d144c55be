#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "images/PngCodec.h"
#include "images/WhiteKey.h"
#include "richtext/AutoRichEditCtrl.h"
#include "storage/RBFileSystem.h"
#include "support/TestSupport.h"
#include "themes/BalloonPicture.h"
#include "themes/ThemeItemSmoke.h"

namespace lumenreel::test {
namespace {

constexpr const char* kDefaultSet = "Lumenreel Classic";
constexpr const char* kFlatSet = "Lumenreel Flat";

bool isKeyWhite(const CImageExt& picture, int x, int y) {
    return (picture.pixel(x, y) & 0xFFFFFF) == kKeyWhite;
}

// Pure white pixels that cannot be reached from the border through pure white: holes the key
// would punch into the balloon.
int enclosedWhitePixels(const CImageExt& picture) {
    const int w = picture.width(), h = picture.height();
    std::vector<bool> outside(static_cast<std::size_t>(w) * h);
    std::deque<Point> open;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || outside[y * w + x] || !isKeyWhite(picture, x, y))
            return;
        outside[y * w + x] = true;
        open.push_back({x, y});
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!open.empty()) {
        const Point p = open.front();
        open.pop_front();
        visit(p.x + 1, p.y);
        visit(p.x - 1, p.y);
        visit(p.x, p.y + 1);
        visit(p.x, p.y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            enclosed += isKeyWhite(picture, x, y) && !outside[y * w + x];
    return enclosed;
}

int whitePixelsIn(const CImageExt& picture, const Rect& area) {
    int white = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            white += isKeyWhite(picture, x, y);
    return white;
}

class DefaultBalloonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(package.Open((binaryDir() / "skin.pak").string(), CRBFileSystem::modeRead));
    }

    std::unique_ptr<CThemeItem_smoke> loaded(const std::string& name) {
        auto item = std::make_unique<CThemeItem_smoke>(ThemeFiles::inPackage(package), name);
        item->load();
        return item;
    }

    CRBFileSystem package;
};

TEST_F(DefaultBalloonsTest, TheSkinPackageShipsTwoSetsTheClassicFirst) {
    CThemeItem_smoke item(ThemeFiles::inPackage(package));
    EXPECT_EQ(item.listItemNames(), (std::vector<std::string>{kDefaultSet, kFlatSet}));
    auto classic = loaded(kDefaultSet);
    auto flat = loaded(kFlatSet);
    ASSERT_TRUE(classic->balloonTemplate(0) && flat->balloonTemplate(0));
    // Chosen by name, they look different: another fill at the split point.
    const Point a = classic->splitPoint(0), b = flat->splitPoint(0);
    EXPECT_NE(classic->balloonTemplate(0)->pixel(a.x, a.y) & 0xFFFFFF,
              flat->balloonTemplate(0)->pixel(b.x, b.y) & 0xFFFFFF);
}

TEST_F(DefaultBalloonsTest, EveryTemplateIsKeyedWhiteOutsideOnly) {
    for (const char* name : {kDefaultSet, kFlatSet}) {
        auto item = loaded(name);
        EXPECT_EQ(item->templateCount(), 9) << name;
        EXPECT_TRUE(item->problems().empty()) << name;
        for (int i = 0; i < 9; ++i) {
            SCOPED_TRACE(std::string(name) + " template " + std::to_string(i));
            const CImageExt* t = item->balloonTemplate(i);
            ASSERT_NE(t, nullptr);
            const int w = t->width(), h = t->height();
            EXPECT_EQ(whitePixelsIn(*t, {0, 0, w, 1}) + whitePixelsIn(*t, {0, h - 1, w, h}) +
                          whitePixelsIn(*t, {0, 1, 1, h - 1}) +
                          whitePixelsIn(*t, {w - 1, 1, w, h - 1}),
                      2 * w + 2 * (h - 2));
            EXPECT_EQ(enclosedWhitePixels(*t), 0);
            const Rect area = item->textArea(i);
            EXPECT_GT(area.width(), 60);
            EXPECT_GT(area.height(), 20);
            EXPECT_EQ(whitePixelsIn(*t, area), 0);
            const Point split = item->splitPoint(i);
            EXPECT_FALSE(isKeyWhite(*t, split.x, split.y));
        }
    }
}

// The sizes each template is grown to in the stored pictures: smaller than, equal to and much
// larger than the template.
struct GrownSize {
    const char* label;
    int extraWidth, extraHeight;
};
constexpr GrownSize kGrownSizes[] = {{"smaller", -30, -16}, {"equal", 0, 0}, {"larger", 260, 140}};

CImageExt grown(const CThemeItem_smoke& item, int index, const GrownSize& size,
                CAutoRichEditCtrl& control) {
    const CImageExt& t = *item.balloonTemplate(index);
    BalloonShape shape;
    shape.width = t.width() + size.extraWidth;
    shape.height = t.height() + size.extraHeight;
    shape.balloonTemplate = &t;
    shape.split = item.splitPoint(index);
    return makeBalloonPicture(shape, control);  // no text: the stored pictures hold no font
}

TEST_F(DefaultBalloonsTest, GrownBalloonsKeepCornersAndTailsAsDrawn) {
    CAutoRichEditCtrl control;
    auto item = loaded(kDefaultSet);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE("template " + std::to_string(i));
        CImageExt keyed;
        ASSERT_TRUE(keyed.from24(*item->balloonTemplate(i), false));
        keyWhite(keyed);
        const int tw = keyed.width(), th = keyed.height();
        const Point s = item->splitPoint(i);
        for (const GrownSize& size : {kGrownSizes[1], kGrownSizes[2]}) {
            const CImageExt picture = grown(*item, i, size, control);
            const int dx = size.extraWidth, dy = size.extraHeight;
            EXPECT_TRUE(picture.regionEquals(keyed, 0, 0, s.x, s.y, 0, 0));
            EXPECT_TRUE(picture.regionEquals(keyed, s.x + dx, 0, tw - s.x, s.y, s.x, 0));
            EXPECT_TRUE(picture.regionEquals(keyed, 0, s.y + dy, s.x, th - s.y, 0, s.y));
            EXPECT_TRUE(
                picture.regionEquals(keyed, s.x + dx, s.y + dy, tw - s.x, th - s.y, s.x, s.y));
        }
    }
}

// The stored pictures are remade only by tests/themes/update-references.sh, which sets
// LUMENREEL_UPDATE_REFERENCES; look at every picture before committing them.
TEST_F(DefaultBalloonsTest, GrownBalloonsLookLikeTheStoredPictures) {
    const bool update = std::getenv("LUMENREEL_UPDATE_REFERENCES") != nullptr;
    CAutoRichEditCtrl control;
    auto item = loaded(kDefaultSet);
    for (int i = 0; i < 9; ++i)
        for (const GrownSize& size : kGrownSizes) {
            const std::string file =
                "classic-" + std::to_string(i) + "-" + std::string(size.label) + ".png";
            SCOPED_TRACE(file);
            const CImageExt picture = grown(*item, i, size, control);
            ASSERT_FALSE(picture.isNull());
            if (update) {
                std::vector<std::uint8_t> png;
                ASSERT_TRUE(encodePng(picture, png));
                writeBytes(dataPath("themes/" + file), png);
                continue;
            }
            CImageExt expected;
            ASSERT_TRUE(decodePng(readBytes(dataPath("themes/" + file)), expected));
            ASSERT_EQ(expected.width(), picture.width());
            ASSERT_EQ(expected.height(), picture.height());
            EXPECT_EQ(
                expected.countDifferences(picture, 0, 0, picture.width(), picture.height(), 0, 0),
                0);
            int alphaDifferences = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    alphaDifferences += (expected.pixel(x, y) >> 24) != (picture.pixel(x, y) >> 24);
            EXPECT_EQ(alphaDifferences, 0);
        }
    if (update)
        GTEST_SKIP() << "stored pictures rewritten";
}

}  // namespace
}  // namespace lumenreel::test
