#include <gtest/gtest.h>

#include <cstring>

#include "BalloonThemeFixture.h"
#include "ItemFixtures.h"
#include "images/ImageExt.h"
#include "images/ImageLimits.h"
#include "images/PngCodec.h"
#include "items/DrawCommonItemListManager.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemSchema.h"
#include "items/LogFont.h"
#include "richtext/FontFaces.h"
#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemesManager.h"

namespace lumenreel::test {
namespace {

struct Caption {
    FakeDocument document;
    CDrawItem_zcSmoke item;

    Caption(CThemeContainer* theme, std::string_view text, std::string themeItem = "Mine") {
        document.frames.resize(1);
        document.frames[0].duration = 3.0f;
        document.themeInUse = theme;
        item.setDocument(&document);
        item.smokeProperties().themeItemName = std::move(themeItem);
        item.setPlainText(text);
        document.place(0, item, 0.0f, 3.0f, kFadeNone);
    }
    Size balloonSize() {
        item.rebuild();
        return item.balloon() ? Size{item.balloon()->width(), item.balloon()->height()} : Size{};
    }
};

TEST(Smoke, AutosizedCaptionThatFitsIsTheTemplatesSize) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "Hi");
    EXPECT_EQ(caption.balloonSize(), (Size{kTemplateWidth, kTemplateHeight}));
    EXPECT_EQ(caption.item.minimumSize(), (Size{kTemplateWidth, kTemplateHeight}));
    EXPECT_EQ(caption.item.smokeProperties().width, kTemplateWidth);
}

TEST(Smoke, ACaptionThirtyPixelsWiderThanTheAreaWidensTheBalloonByThirty) {
    const std::string text = "Hello";
    int measuredWidth = 0, measuredHeight = 0;
    {
        Caption probe(nullptr, text);
        const Size measured = probe.item.measureText();
        measuredWidth = measured.width;
        measuredHeight = measured.height;
    }
    // The area must fit in the template for the item set to keep it.
    ASSERT_GT(measuredWidth, 30);
    ASSERT_LT(measuredWidth, 85);
    ASSERT_LT(measuredHeight, 34);
    // The area is as high as the text and 30 pixels narrower.
    BalloonTheme theme({5, 5, 5 + measuredWidth - 30, 5 + measuredHeight});
    Caption caption(theme.theme(), text);
    const int grownWidth = std::max(kTemplateWidth, kTemplateWidth + 30);
    const int grownHeight =
        std::max(kTemplateHeight, 5 + measuredHeight + (kTemplateHeight - (5 + measuredHeight)));
    EXPECT_EQ(caption.balloonSize(), (Size{grownWidth, grownHeight}));
    // The 30 added columns repeat the template's split column: its mark in row 2 now spans
    // columns 30 to 60.
    const CImageExt& balloon = *caption.item.balloon();
    for (int x = kSplit.x; x <= kSplit.x + 30; ++x)
        EXPECT_EQ(balloon.pixel(x, 2) & 0xFFFFFF, kSplitColumn) << x;
    EXPECT_EQ(balloon.pixel(kSplit.x + 31, 2) & 0xFFFFFF, kBody);
}

TEST(Smoke, AFixedWidthBelowTheTemplatesIsRaisedToIt) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "Hi");
    caption.item.smokeProperties().autosize = false;
    caption.item.smokeProperties().width = 20;
    caption.item.smokeProperties().height = 100;
    EXPECT_EQ(caption.balloonSize(), (Size{kTemplateWidth, 100}));
}

// A balloon of a set size breaks its lines at the text area: the lines it centres are those, so
// none is pushed out of the balloon.
TEST(Smoke, AFixedSizeBalloonCentresTheLinesItBreaks) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "one two three four five six seven");
    caption.item.smokeProperties().autosize = false;
    caption.item.smokeProperties().width = kTemplateWidth;
    caption.item.smokeProperties().height = 200;
    ASSERT_EQ(caption.balloonSize(), (Size{kTemplateWidth, 200}));
    const CImageExt& balloon = *caption.item.balloon();
    const int areaTop = 10, areaBottom = 200 - (kTemplateHeight - 30);
    int firstInk = -1, lastInk = -1;
    for (int y = areaTop; y < areaBottom; ++y)
        for (int x = 10; x < 50; ++x)
            if ((balloon.pixel(x, y) & 0xFF) < 0x80) {
                firstInk = firstInk < 0 ? y : firstInk;
                lastInk = y;
            }
    ASSERT_GT(lastInk - firstInk, 60) << "the words are broken over several lines";
    EXPECT_NEAR(firstInk - areaTop, areaBottom - 1 - lastInk, 12);
}

TEST(Smoke, AnAbsurdFixedWidthIsCappedByTheImageLimits) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "Hi");
    caption.item.smokeProperties().autosize = false;
    caption.item.smokeProperties().width = 2000000000;
    caption.item.smokeProperties().height = kTemplateHeight;
    EXPECT_EQ(caption.balloonSize(), (Size{kMaxImageDimension, kTemplateHeight}));
    EXPECT_EQ(caption.item.smokeProperties().width, kMaxImageDimension);
}

TEST(Smoke, AMissingItemSetGivesAWhiteTextOnlyBalloonThatIsSeeThrough) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "", "No such set");
    const Size size = caption.balloonSize();
    EXPECT_GE(size.width, 15);
    EXPECT_GE(size.height, 8);
    EXPECT_EQ(caption.item.minimumSize(), (Size{5, 5}));
    CImageExt frame;
    frame.create(40, 40, 32);
    CImageExt untouched;
    frame.copyTo(untouched);
    caption.item.draw(frame, caption.document.contextAt(0, caption.item, 1.0f));
    EXPECT_TRUE(frame.equals(untouched));
}

// A caption stored without an item set name asks for the default one, which no theme ships: the
// player's kinds give it the first item set there is.
TEST(Smoke, TheDefaultItemSetNameGetsTheFirstSetWithThePlayersThemes) {
    BalloonTheme theme({10, 10, 50, 30}, true);
    Caption caption(theme.theme(), "Hi", "");
    EXPECT_EQ(caption.balloonSize(), (Size{kTemplateWidth, kTemplateHeight}));
    EXPECT_EQ(caption.item.minimumSize(), (Size{kTemplateWidth, kTemplateHeight}));
}

TEST(Smoke, WhiteTextStaysVisibleAsAlmostWhite) {
    Caption caption(nullptr, "WWW");
    caption.item.smokeProperties().textColour = 0xFFFFFF;
    caption.item.rebuild();
    const CImageExt& balloon = *caption.item.balloon();
    int almostWhite = 0;
    for (int y = 0; y < balloon.height(); ++y)
        for (int x = 0; x < balloon.width(); ++x)
            almostWhite += balloon.pixel(x, y) == 0xFFFEFEFE;
    EXPECT_GT(almostWhite, 0);
}

// Drawn at half transparency onto a dark frame, every balloon pixel that is not see-through is
// blended half-way and the rest of the frame is untouched, as composed here.
TEST(Smoke, DrawsTheBalloonBlendedWhereItIsNotSeeThrough) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "Hi");
    caption.item.smokeProperties().transparency = 0.5f;
    caption.item.setPosition(10, 5);
    caption.item.rebuild();
    CImageExt frame;
    frame.create(100, 60, 32);
    caption.item.draw(frame, caption.document.contextAt(0, caption.item, 1.0f));
    const CImageExt pattern = balloonTemplate();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            const int tx = x - 10, ty = y - 5;
            const bool inside = tx >= 0 && ty >= 0 && tx < kTemplateWidth && ty < kTemplateHeight;
            const std::uint32_t source = inside ? pattern.pixel(tx, ty) & 0xFFFFFF : 0xFFFFFF;
            const std::uint32_t got = frame.pixel(x, y) & 0xFFFFFF;
            if (source == 0xFFFFFF) {
                EXPECT_EQ(got, 0u) << x << "," << y;
            } else if (!(tx >= 10 && tx < 50 && ty >= 10 && ty < 30)) {  // outside the text
                const std::uint32_t half = ((source & 0xFF) * 127 / 255) * 0x010101;
                EXPECT_NEAR(static_cast<int>(got & 0xFF), static_cast<int>(half & 0xFF), 1);
            }
        }
}

TEST(Smoke, NothingIsDrawnAtTheFramesEnd) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "Hi");
    CImageExt frame;
    frame.create(80, 60, 32);
    CImageExt untouched;
    frame.copyTo(untouched);
    caption.item.draw(frame, caption.document.contextAt(0, caption.item, 3.0f));
    EXPECT_TRUE(frame.equals(untouched));
    caption.item.draw(frame, caption.document.contextAt(0, caption.item, 2.9f));
    EXPECT_FALSE(frame.equals(untouched));
}

// The reader takes damaged RTF as far as it goes (nesting is capped), so such a caption still
// gets a balloon.
TEST(Smoke, DamagedRtfStillBuildsABalloon) {
    BalloonTheme theme({10, 10, 50, 30});
    Caption caption(theme.theme(), "");
    caption.item.smokeProperties().text =
        "{\\rtf1" + std::string(20000, '{') + "x\\par\\fs99999999";
    const Size size = caption.balloonSize();
    EXPECT_GE(size.width, kTemplateWidth);
    EXPECT_GE(size.height, kTemplateHeight);
}

TEST(Smoke, SuggestedDurationCountsCharacters) {
    Caption ten(nullptr, "0123456789");
    EXPECT_FLOAT_EQ(ten.item.suggestedDuration(), 2.0f);
    Caption empty(nullptr, "");
    EXPECT_FLOAT_EQ(empty.item.suggestedDuration(), 0.3f);
}

TEST(LogFontRecord, AFaceNameWithoutItsEndStopsAtThirtyTwoBytes) {
    LogFontBytes bytes = defaultLogFont();
    std::memset(bytes.data() + 28, 'A', 32);
    const LogFont font = decodeLogFont(bytes);
    EXPECT_EQ(font.face, std::string(32, 'A'));
    const LogFont plain = decodeLogFont(defaultLogFont());
    EXPECT_EQ(plain.face, "Arial");
    EXPECT_EQ(plain.height, 16);
    EXPECT_EQ(plain.charset, 1);
    EXPECT_EQ(charFormatFor(plain).halfPoints, 24);  // 16 px at 96 dpi is 12 pt
}

TEST(LogFontRecord, CommonWindowsFacesDrawWithCloseFreeFaces) {
    EXPECT_EQ(fontFamilyFor("Arial"), "Liberation Sans");
    EXPECT_EQ(fontFamilyFor("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(fontFamilyFor("Courier New"), "Liberation Mono");
    EXPECT_EQ(fontFamilyFor("Tahoma"), kFallbackFontFamily);
}

// One caption record written by the item, with one stored value replaced by the callback.
std::vector<std::uint8_t> captionList(const std::function<void(SmokeProperties&)>& damage) {
    CDrawCommonItemListManager list;
    auto item = std::make_unique<CDrawItem_zcSmoke>();
    item->smokeProperties().text = "{\\rtf1 Hello}";
    damage(item->smokeProperties());
    list.insert({}, std::move(item));
    return keyedBytes([&](CSerializeInterface& archive) { list.serialize(archive); });
}

struct HostileCase {
    const char* name;
    std::function<void(SmokeProperties&)> damage;
    const char* reason;
};

class HostileCaption : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileCaption, IsSkippedWithItsReason) {
    CDrawCommonItemListManager list;
    readKeyed(captionList(GetParam().damage),
              [&](CSerializeInterface& archive) { list.serialize(archive); });
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0], std::string("placement 0: ") + GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileCaption,
    ::testing::Values(HostileCase{"TemplateNine", [](SmokeProperties& p) { p.templateIndex = 9; },
                                  "template index 9 out of range"},
                      HostileCase{"NegativeTemplate",
                                  [](SmokeProperties& p) { p.templateIndex = -1; },
                                  "template index -1 out of range"},
                      HostileCase{"NegativeWidth", [](SmokeProperties& p) { p.width = -3; },
                                  "caption size -3 x 0 out of range"},
                      HostileCase{"HugeHeight", [](SmokeProperties& p) { p.height = 1 << 30; },
                                  "caption size 0 x 1073741824 out of range"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Smoke, RoundTripsItsProperties) {
    auto bytes = captionList([](SmokeProperties& p) {
        p.textColour = 0x123456;
        p.colours[1].head[3] = 9;
        p.autosize = false;
        p.width = 120;
        p.height = 45;
        p.templateIndex = 4;
        p.themeItemName = "Mine";
        p.onlyText = true;
        p.x = 7;
    });
    CDrawCommonItemListManager list;
    readKeyed(bytes, [&](CSerializeInterface& archive) { list.serialize(archive); });
    auto* item = dynamic_cast<CDrawItem_zcSmoke*>(list.itemAt(0));
    ASSERT_NE(item, nullptr);
    const SmokeProperties& p = item->smokeProperties();
    EXPECT_EQ(p.text, "{\\rtf1 Hello}");
    EXPECT_EQ(p.textColour, 0x123456u);
    EXPECT_EQ(p.colours[1].head[3], 9);
    EXPECT_EQ(p.colours[2].colour, 0x800000u);
    EXPECT_EQ(p.templateIndex, 4);
    EXPECT_EQ(p.themeItemName, "Mine");
    EXPECT_TRUE(p.onlyText);
    // Read without autosize, the caption's rectangle is its stored size at its position.
    EXPECT_EQ(item->bounds(), (Rect{7, 0, 127, 45}));
}

}  // namespace
}  // namespace lumenreel::test
