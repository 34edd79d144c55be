#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "richtext/RtfReader.h"

namespace lumenreel {
namespace {

// The format of the first run of the first paragraph.
CharFormat firstFormat(const std::string& rtf) {
    RichDocument document = readRtf(rtf);
    if (document.paragraphs.empty() || document.paragraphs[0].runs.empty()) {
        ADD_FAILURE() << "no text in " << rtf;
        return {};
    }
    return document.paragraphs[0].runs[0].format;
}

const std::string kTwoColours = R"({\colortbl;\red1\green2\blue3;\red4\green5\blue6;})";

// Index 0 is the automatic colour; 1 and 2 are stored; 3 is past the table.
TEST(RtfReaderBounds, ColourIndexesAtAndPastTheTable) {
    const std::pair<int, std::optional<std::uint32_t>> cases[] = {
        {-1, std::nullopt}, {0, std::nullopt}, {1, 0x030201u}, {2, 0x060504u}, {3, std::nullopt}};
    for (auto [index, colour] : cases) {
        std::string rtf = "{\\rtf1" + kTwoColours + "\\cf" + std::to_string(index) + "\\highlight" +
                          std::to_string(index) + " x}";
        CharFormat format = firstFormat(rtf);
        EXPECT_EQ(format.color, colour) << index;
        EXPECT_EQ(format.highlight, colour) << index;
    }
}

// Index 0 stays the automatic colour even when the table stores one there.
TEST(RtfReaderBounds, ColourZeroIsAutomaticWhateverTheTableHolds) {
    CharFormat format = firstFormat(R"({\rtf1{\colortbl\red9\green9\blue9;}\cf0\highlight0 x})");
    EXPECT_FALSE(format.color.has_value());
    EXPECT_FALSE(format.highlight.has_value());
}

TEST(RtfReaderBounds, ColourChannelsAreClampedToAByte) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {R"(\red255\green254\blue0)", 0x00FEFFu},
        {R"(\red256\green-1\blue300)", 0xFF00FFu},
    };
    for (auto [channels, colour] : cases)
        EXPECT_EQ(firstFormat(std::string("{\\rtf1{\\colortbl;") + channels + ";}\\cf1 x}").color,
                  colour)
            << channels;
}

// A character set outside 0 … 255 reads as the default one (1).
TEST(RtfReaderBounds, FontCharsetsAtAndPastAByte) {
    const std::pair<int, int> cases[] = {{0, 0}, {255, 255}, {256, 1}, {-1, 1}, {2, 2}};
    for (auto [stored, read] : cases) {
        std::string rtf =
            "{\\rtf1{\\fonttbl{\\f0\\fcharset" + std::to_string(stored) + " Face;}}\\f0 x}";
        EXPECT_EQ(firstFormat(rtf).charset, read) << stored;
        EXPECT_EQ(firstFormat(rtf).face, "Face") << stored;
    }
}

TEST(RtfReaderBounds, SizesAndIndentsAreClampedAtTheirLimits) {
    struct Case {
        std::string words;
        int halfPoints;
        int leftIndent;
    };
    const std::string most = std::to_string(kMaxIndentTwips);
    const std::string past = std::to_string(kMaxIndentTwips + 1);
    const Case cases[] = {
        {"\\fs1", 1, 0},
        {"\\fs0", kDefaultHalfPoints, 0},
        {"\\fs" + std::to_string(kMaxHalfPoints), kMaxHalfPoints, 0},
        {"\\fs" + std::to_string(kMaxHalfPoints + 1), kMaxHalfPoints, 0},
        {"\\fs0000000030", 30, 0},  // ten digits are read
        {"\\fs00000000030", 3, 0},  // the eleventh is not
        {"\\li" + most, kDefaultHalfPoints, kMaxIndentTwips},
        {"\\li" + past, kDefaultHalfPoints, kMaxIndentTwips},
        {"\\li" + std::to_string(-(kMaxIndentTwips + 1)), kDefaultHalfPoints, -kMaxIndentTwips},
    };
    for (const Case& c : cases) {
        RichDocument document = readRtf("{\\rtf1" + c.words + " x\\par}");
        ASSERT_EQ(document.paragraphs.size(), 1u) << c.words;
        EXPECT_EQ(document.paragraphs[0].runs.at(0).format.halfPoints, c.halfPoints) << c.words;
        EXPECT_EQ(document.paragraphs[0].leftIndent, c.leftIndent) << c.words;
    }
    const std::string negativePast = std::to_string(-(kMaxIndentTwips + 1));
    for (bool right : {true, false})
        for (const std::string* value : {&most, &past, &negativePast}) {
            std::string words = (right ? std::string("\\ri") : std::string("\\fi")) + *value;
            const Paragraph p = readRtf("{\\rtf1" + words + " x\\par}").paragraphs.at(0);
            EXPECT_EQ(std::abs(right ? p.rightIndent : p.firstIndent), kMaxIndentTwips) << words;
        }
}

// \ucN skips N fallback characters after each \u, at most 16.
TEST(RtfReaderBounds, UnicodeFallbackSkipsAtMostSixteen) {
    const std::string fallback(20, '?');
    const std::pair<int, std::size_t> cases[] = {{0, 0}, {16, 16}, {17, 16}};
    for (auto [skip, skipped] : cases) {
        std::string text =
            readRtf("{\\rtf1\\uc" + std::to_string(skip) + "\\u65 " + fallback + "}").plainText();
        std::string expected(1, 'A');
        expected += fallback.substr(skipped);
        EXPECT_EQ(text, expected) << skip;
    }
}

// Groups nest 254 deep inside the document before the rest is passed over unread.
TEST(RtfReaderBounds, NestingAtAndPastTheDepthLimit) {
    for (auto [depth, kept] : {std::pair{254, true}, std::pair{255, false}}) {
        std::string rtf =
            "{\\rtf1 a" + std::string(depth, '{') + "x" + std::string(depth, '}') + "b}";
        EXPECT_EQ(readRtf(rtf).plainText(), kept ? "axb" : "ab") << depth;
    }
}

// Control words are at most 32 letters; the letters after them are text.
TEST(RtfReaderBounds, ControlWordsEndAfterThirtyTwoLetters) {
    EXPECT_EQ(readRtf("{\\rtf1\\" + std::string(32, 'q') + " t}").plainText(), "t");
    EXPECT_EQ(readRtf("{\\rtf1\\" + std::string(33, 'q') + " t}").plainText(), "q t");
}

}  // namespace
}  // namespace lumenreel
