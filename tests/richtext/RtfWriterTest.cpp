#include "richtext/RtfWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richtext/AutoRichEditCtrl.h"
#include "richtext/RtfReader.h"
#include "support/TestSupport.h"

namespace lumenreel {
namespace {

std::string fixture(const std::string& name) {
    std::vector<std::uint8_t> bytes = test::readBytes(test::dataPath("richtext/" + name));
    return std::string(bytes.begin(), bytes.end());
}

class RtfRoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RtfRoundTrip, WrittenDocumentReadsBackTheSame) {
    RichDocument document = readRtf(fixture(GetParam()));
    ASSERT_FALSE(document.paragraphs.empty());
    std::string written = writeRtf(document);
    EXPECT_EQ(readRtf(written), document) << written;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RtfRoundTrip,
                         testing::Values("libreoffice-caption.rtf", "pandoc-caption.rtf",
                                         "richedit-cyrillic.rtf", "richedit-japanese.rtf"));

TEST(RtfWriter, RoundTripsAwkwardText) {
    CharFormat odd;
    odd.face = "Face; with {braces} \\ and é";
    odd.charset = 204;
    odd.halfPoints = 31;
    odd.underline = true;
    odd.strikeOut = true;
    odd.color = 0xFFFFFF;
    odd.highlight = 0x123456;
    CharFormat japanese;
    japanese.face = "MS UI Gothic";
    japanese.charset = 128;
    Paragraph first;
    first.alignment = Alignment::Right;
    first.leftIndent = 1440;
    first.firstIndent = -360;
    first.append(CharFormat{}, "{braces} \\back\tslash\nline €");
    first.append(odd, "Привет é ☃ 🙂 \x01");
    first.append(japanese, "テスト 保存 й");
    first.markFormat = odd;
    Paragraph empty;
    empty.alignment = Alignment::Justify;
    RichDocument document;
    document.paragraphs = {first, empty, first};

    std::string written = writeRtf(document);
    EXPECT_EQ(readRtf(written), document) << written;
}

TEST(RtfWriter, WritesLikeARichEditControl) {
    CAutoRichEditCtrl control;
    control.setPlainText("Caf\xE9 \x80 line one\r\nline two");
    std::string rtf = control.richText();
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << rtf;
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\colortbl ;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\f0\\fs20"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Caf\\'e9 \\'80 line one\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("line two\\par"), std::string::npos) << rtf;

    CAutoRichEditCtrl reader;
    EXPECT_TRUE(reader.setRichText(rtf));
    EXPECT_EQ(reader.document().plainText(), "Café € line one\nline two");
    EXPECT_EQ(reader.document(), control.document());
}

TEST(RtfWriter, CharactersOutsideTheCodePageBecomeUnicodeEscapes) {
    CharFormat format;
    RichDocument document;
    document.paragraphs.emplace_back();
    document.paragraphs[0].append(format, "Пé🙂");
    std::string rtf = writeRtf(document);
    EXPECT_NE(rtf.find("\\u1055?\\'e9\\u-10179?\\u-8638?"), std::string::npos) << rtf;
}

TEST(AutoRichEditCtrl, PlainTextLinesAndLength) {
    CAutoRichEditCtrl control;
    control.setPlainText("one\rtwo\nthree\r\n\r\nfive");
    EXPECT_EQ(control.document().plainText(), "one\ntwo\nthree\n\nfive");
    EXPECT_EQ(control.textLength(), 3u + 3u + 5u + 4u + 4u);

    EXPECT_FALSE(control.setRichText("not rich"));
    EXPECT_EQ(control.document().plainText(), "not rich");
    EXPECT_EQ(control.textLength(), 8u);

    control.setPlainText("");
    EXPECT_EQ(control.textLength(), 0u);
    EXPECT_TRUE(control.document().paragraphs.empty());
}

TEST(AutoRichEditCtrl, TextLengthCountsUtf16Units) {
    CAutoRichEditCtrl control;
    control.setRichText(R"({\rtf1\uc1 a\u1055?\par \u55357?\u56898?})");
    EXPECT_EQ(control.textLength(), 2u + 1u + 2u);
}

}  // namespace
}  // namespace lumenreel
