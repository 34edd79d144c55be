#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "richtext/AutoRichEditCtrl.h"
#include "richtext/FontFaces.h"

namespace lumenreel {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::string caption(std::string_view body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red255\\green255\\blue255;}\\viewkind4\\uc1"
           "\\pard\\f0\\fs20 " +
           std::string(body) + "\\par}";
}

Size measured(std::string_view body) {
    CAutoRichEditCtrl control;
    control.setRichText(caption(body));
    return control.measure();
}

CImageExt filledImage(int width, int height, int bitsPerPixel, std::uint32_t value) {
    CImageExt image;
    EXPECT_TRUE(image.create(width, height, bitsPerPixel));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, value);
    }
    return image;
}

// The smallest rectangle holding every pixel that differs from the value.
Rect inkBounds(const CImageExt& image, std::uint32_t background) {
    Rect bounds{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == background)
                continue;
            bounds.left = std::min(bounds.left, x);
            bounds.top = std::min(bounds.top, y);
            bounds.right = std::max(bounds.right, x + 1);
            bounds.bottom = std::max(bounds.bottom, y + 1);
        }
    }
    return bounds;
}

std::uint8_t red(std::uint32_t pixel) {
    return (pixel >> 16) & 0xFF;
}
std::uint8_t green(std::uint32_t pixel) {
    return (pixel >> 8) & 0xFF;
}
std::uint8_t blue(std::uint32_t pixel) {
    return pixel & 0xFF;
}

TEST(RichTextLayout, BoldIsWiderThanRegularAndSizeGrowsTheText) {
    Size regular = measured("Save the caption");
    Size bold = measured("\\b Save the caption");
    Size larger = measured("\\fs40 Save the caption");
    EXPECT_GT(regular.width, 50);
    EXPECT_GT(bold.width, regular.width);
    EXPECT_EQ(bold.height, regular.height);
    EXPECT_GT(larger.width, regular.width * 3 / 2);
    EXPECT_GT(larger.height, regular.height * 3 / 2);
}

TEST(RichTextLayout, HeightIsTheSumOfTheLineHeightsAndWidthTheWidestLine) {
    Size small = measured("short");
    Size large = measured("\\fs40 a much longer line");
    Size paragraphs = measured("short\\par\\fs40 a much longer line");
    Size lineBreak = measured("short\\line\\fs40 a much longer line");
    EXPECT_EQ(paragraphs.height, small.height + large.height);
    EXPECT_EQ(paragraphs.width, std::max(small.width, large.width));
    EXPECT_EQ(lineBreak, paragraphs);
    // One line with both sizes is as tall as its tallest character.
    EXPECT_EQ(measured("short \\fs40 big").height, large.height);
    // Widths add up along a line.
    Size left = measured("ab");
    Size right = measured("cd");
    EXPECT_NEAR(measured("abcd").width, left.width + right.width, 1);
}

TEST(RichTextLayout, ArialIsDrawnWithAFontOfItsMetrics) {
    // 10 points at 96 dpi is a 13-pixel font; ascent plus descent of Arial's metrics is 15.
    EXPECT_EQ(fontPixelSize(20), 13);
    EXPECT_EQ(fontPixelSize(24), 16);
    EXPECT_EQ(measured("Save").height, 15);
    EXPECT_EQ(fontFamilyFor("arial"), "Liberation Sans");
    EXPECT_EQ(fontFamilyFor("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(fontFamilyFor("Courier New"), "Liberation Mono");
    EXPECT_EQ(fontFamilyFor("DejaVu Serif"), "DejaVu Serif");
    EXPECT_EQ(fontFamilyFor("No Such Face Anywhere"), kFallbackFontFamily);
    EXPECT_EQ(fontFamilyFor(""), kFallbackFontFamily);
}

TEST(RichTextLayout, ReloadingTheControlFollowsTheNewContent) {
    CAutoRichEditCtrl control;
    control.setRichText(caption("short"));
    Size first = control.measure();
    control.setRichText(caption("\\fs40 a much longer line"));
    EXPECT_GT(control.measure().width, first.width);
    control.setPlainText("short");
    EXPECT_EQ(control.measure(), first);
    control.setRichText(caption("short"));
    EXPECT_EQ(control.measure(), first);
}

TEST(RichTextLayout, IndentsWidenTheMeasure) {
    Size plain = measured("indented");
    CAutoRichEditCtrl control;
    control.setRichText(caption("\\li300\\ri150 indented"));  // 20 and 10 pixels
    EXPECT_EQ(control.measure().width, plain.width + 30);
}

TEST(RichTextRender, RedRunIsRedAndTheRestBlack) {
    CImageExt image = filledImage(200, 40, 24, kWhite);
    CAutoRichEditCtrl control;
    control.setRichText(caption("Black \\cf1 Red\\cf0  black"));
    Size size = control.measure();
    control.renderInto(image, {0, 0, 200, 40});
    int reddish = 0;
    int dark = 0;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < 200; ++x) {
            std::uint32_t p = image.pixel(x, y);
            if (red(p) > 200 && green(p) < 60 && blue(p) < 60)
                ++reddish;
            if (red(p) < 60 && green(p) < 60 && blue(p) < 60)
                ++dark;
            // Antialiased edges mix the glyph colour with white, never anything else.
            EXPECT_GE(red(p), std::max(green(p), blue(p)) - 1) << x << "," << y;
        }
    }
    EXPECT_GT(reddish, 20);
    EXPECT_GT(dark, 40);
}

TEST(RichTextRender, CentredAndRightAlignedText) {
    for (auto [word, expectCentre] : {std::pair{"\\qc Middle", true}, {"\\qr Middle", false}}) {
        CImageExt image = filledImage(300, 30, 24, kWhite);
        CAutoRichEditCtrl control;
        control.setRichText(caption(word));
        control.renderInto(image, {50, 0, 250, 30});
        Rect ink = inkBounds(image, kWhite);
        ASSERT_LT(ink.left, ink.right);
        int leftGap = ink.left - 50;
        int rightGap = 250 - ink.right;
        if (expectCentre) {
            EXPECT_NEAR(leftGap, rightGap, 3);
        } else {
            EXPECT_LE(rightGap, 3);
            EXPECT_GT(leftGap, 100);
        }
    }
}

TEST(RichTextRender, NothingIsDrawnOutsideTheRectangleAndAlphaIsKept) {
    // A patterned 32-bit picture whose alpha bytes must survive.
    CImageExt image;
    ASSERT_TRUE(image.create(120, 60, 32));
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            image.setPixel(x, y, 0x40000000u | (x * 2) << 16 | (y * 4) << 8 | 0xF0);
        }
    }
    CImageExt before;
    ASSERT_TRUE(image.copyTo(before));
    CAutoRichEditCtrl control;
    control.setRichText(caption(
        "\\fs40 A caption far too long for its small rectangle\\par second\\par third\\par"));
    const Rect rect{30, 10, 90, 40};
    control.renderInto(image, rect);
    int changedInside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            std::uint32_t now = image.pixel(x, y);
            std::uint32_t was = before.pixel(x, y);
            bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            if (!inside) {
                EXPECT_EQ(now, was) << x << "," << y;
            }
            EXPECT_EQ(now >> 24, was >> 24) << x << "," << y;
            if (inside && now != was)
                ++changedInside;
        }
    }
    EXPECT_GT(changedInside, 30);

    // Rectangles partly or wholly outside the picture are cut to it.
    control.renderInto(image, {-40, -20, 20, 10});
    control.renderInto(image, {100, 50, 400, 300});
    control.renderInto(image, {500, 500, 600, 600});
}

TEST(RichTextRender, LinesThatDoNotFitAreLeftOut) {
    CAutoRichEditCtrl control;
    control.setRichText(caption("first\\par second\\par third"));
    Size size = control.measure();
    int lineHeight = size.height / 3;
    CImageExt image = filledImage(100, 100, 24, kWhite);
    control.renderInto(image, {0, 0, 100, 2 * lineHeight + lineHeight / 2});
    EXPECT_LE(inkBounds(image, kWhite).bottom, 2 * lineHeight);
}

TEST(RichTextRender, WhiteTextStaysVisibleOnKeyedPictures) {
    CAutoRichEditCtrl control;
    control.setRichText(caption("\\cf2 White words"));
    CImageExt plain = filledImage(120, 20, 24, kWhite);
    control.renderInto(plain, {0, 0, 120, 20});
    EXPECT_EQ(inkBounds(plain, kWhite).right, 0) << "white on white changes nothing";

    CImageExt keyed = filledImage(120, 20, 24, kWhite);
    control.renderInto(keyed, {0, 0, 120, 20}, {.text = 0, .avoidKeyColor = true});
    int offWhite = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 120; ++x)
            offWhite += keyed.pixel(x, y) == 0xFEFEFE;
    }
    EXPECT_GT(offWhite, 20);

    // Runs without a colour of their own take the caller's, white included.
    control.setRichText(caption("Default colour"));
    CImageExt defaultWhite = filledImage(120, 20, 24, kWhite);
    control.renderInto(defaultWhite, {0, 0, 120, 20}, {.text = kWhite, .avoidKeyColor = true});
    EXPECT_GT(inkBounds(defaultWhite, kWhite).right, 0);
    CImageExt blueText = filledImage(120, 20, 24, kWhite);
    control.renderInto(blueText, {0, 0, 120, 20}, {.text = 0xFF0000});
    Rect ink = inkBounds(blueText, kWhite);
    ASSERT_LT(ink.left, ink.right);
    bool sawBlue = false;
    for (int x = ink.left; x < ink.right; ++x) {
        for (int y = ink.top; y < ink.bottom; ++y) {
            std::uint32_t p = blueText.pixel(x, y);
            sawBlue |= blue(p) > 200 && red(p) < 60;
        }
    }
    EXPECT_TRUE(sawBlue);
}

TEST(RichTextRender, EmojiAreDrawnInTheirColours) {
    // U+1F7E5, a large red square, written as RTF writes characters beyond 16 bits.
    CImageExt image = filledImage(200, 40, 24, kWhite);
    CAutoRichEditCtrl control;
    control.setRichText(caption("Stop \\u-10179?\\u-8219? here"));
    control.renderInto(image, {0, 0, 200, 40});
    int redSquare = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t p = image.pixel(x, y);
            redSquare += red(p) > 180 && green(p) < 90 && blue(p) < 90;
        }
    EXPECT_GT(redSquare, 40) << "the emoji was not drawn in colour (is an emoji font installed?)";
}

}  // namespace
}  // namespace lumenreel
