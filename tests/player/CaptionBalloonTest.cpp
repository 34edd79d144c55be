#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

namespace lumenreel::test {
namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr int kTw = 10, kTh = 8, kSx = 4, kSy = 3;

// Every template pixel different, with a white top-left corner that keying must cut away.
std::uint32_t templateColour(int x, int y) {
    if (x == 0 && y == 0)
        return 0xFFFFFF;
    return static_cast<std::uint32_t>(0x102030 + x * 0x0A0000 + y * 0x000A00 + (x * y) % 7);
}

// Where balloon pixel (x, y) of a W × H caption comes from in the template.
std::uint32_t balloonColour(int x, int y, int w, int h) {
    const int kMid = -1;
    int mx = x < kSx ? x : x >= w - (kTw - kSx) ? x - (w - kTw) : kMid;
    int my = y < kSy ? y : y >= h - (kTh - kSy) ? y - (h - kTh) : kMid;
    if (mx == kMid && my == kMid)
        return templateColour(kSx, kSy);
    return templateColour(mx == kMid ? kSx : mx, my == kMid ? kSy : my);
}

class CaptionBalloonTest : public ::testing::Test {
protected:
    void load(const std::string& richText) {
        background.create(40, 30, 24);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                background.setPixel(x, y, kGrey);
        CImageExt templatePicture;
        templatePicture.create(kTw, kTh, 24);
        for (int y = 0; y < kTh; ++y)
            for (int x = 0; x < kTw; ++x)
                templatePicture.setPixel(x, y, templateColour(x, y));
        std::vector<std::uint8_t> png;
        ASSERT_TRUE(encodePng(templatePicture, png));

        zcd::ZcdContent content;
        content.frames.push_back({{1, 1.0f, 0.0f, 1.0f}, &background});
        content.poolPictures = {png};
        content.captionTemplates.push_back({0, {kSx, kSy}, {1, 1, 9, 7}, "Default", 0});
        content.captions.push_back({});
        auto& caption = content.captions.back();
        caption.id = 5;
        caption.rect = {3, 2, 3 + 18, 2 + 13};
        caption.textRect = {2, 2, 16, 11};
        caption.richText = richText;
        zcd::WriterPlacement shown;
        shown.frameId = 1;
        shown.objectId = 5;
        shown.end = 1.0f;
        content.captionPlacements.push_back(shown);
        std::string error;
        auto file = zcd::writeZcd(content, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(reader.Load(*file)) << reader.lastError();
        source.SetReader(&reader);
        frame.create(40, 30, 32);
        ASSERT_TRUE(source.RenderAt(0.5f, frame));
    }

    // The frame pixel expected from the balloon alone (no text).
    static std::uint32_t expectedPixel(int x, int y) {
        int bx = x - 3, by = y - 2;
        if (bx < 0 || by < 0 || bx >= 18 || by >= 13)
            return kGrey;
        std::uint32_t colour = balloonColour(bx, by, 18, 13);
        return colour == 0xFFFFFF ? kGrey : colour;
    }

    CImageExt background, frame;
    NKWXDecodersEncoders::CExternalFormatReader reader;
    CDocImp source;
};

TEST_F(CaptionBalloonTest, TemplateIsWidenedAroundItsSplitPointAndKeyed) {
    load("");
    int wrong = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            wrong += (frame.pixel(x, y) & 0xFFFFFF) != expectedPixel(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(CaptionBalloonTest, TextIsDrawnInsideTheTextRectangleOnly) {
    load("{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Sans;}}\\f0\\fs20 WWW\\par}");
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool changed = (frame.pixel(x, y) & 0xFFFFFF) != expectedPixel(x, y);
            bool inText = x >= 3 + 2 && x < 3 + 16 && y >= 2 + 2 && y < 2 + 11;
            (inText ? changedInside : changedOutside) += changed;
        }
    EXPECT_GT(changedInside, 5);
    EXPECT_EQ(changedOutside, 0);
}

}  // namespace
}  // namespace lumenreel::test
