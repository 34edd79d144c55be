#include "richtext/RtfReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace lumenreel {
namespace {

constexpr std::string_view kRichEditSample =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fnil\fcharset2 Symbol;}}{\colortbl ;\red255\green0\blue0;}\viewkind4\uc1\pard\f0\fs20 Click \b Save\b0 , then \cf1\i close\cf0\i0 .\par})";

RichDocument readFixture(const std::string& name) {
    std::vector<std::uint8_t> bytes = test::readBytes(test::dataPath("richtext/" + name));
    return readRtf(std::string(bytes.begin(), bytes.end()));
}

std::string paragraphText(const Paragraph& paragraph) {
    std::string text;
    for (const TextRun& run : paragraph.runs)
        text += run.text;
    return text;
}

// The run that holds the text (which must lie within one run).
const TextRun& runWith(const RichDocument& document, std::string_view text) {
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            if (run.text.find(text) != std::string::npos)
                return run;
        }
    }
    ADD_FAILURE() << "no run holds " << text;
    static const TextRun none;
    return none;
}

TEST(RtfReader, ReadsTheRichEditSampleWithItsFormats) {
    RichDocument document = readRtf(kRichEditSample);
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const std::vector<TextRun>& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "Click ");
    EXPECT_EQ(runs[1].text, "Save");
    EXPECT_EQ(runs[2].text, ", then ");
    EXPECT_EQ(runs[3].text, "close");
    EXPECT_EQ(runs[4].text, ".");
    CharFormat regular;
    regular.face = "Arial";
    regular.charset = 0;
    regular.halfPoints = 20;
    EXPECT_EQ(runs[0].format, regular);
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_EQ(runs[2].format, regular);
    EXPECT_TRUE(runs[3].format.italic);
    EXPECT_EQ(runs[3].format.color, 0x0000FFu);
    EXPECT_FALSE(runs[3].format.bold);
    EXPECT_EQ(runs[4].format, regular);
    EXPECT_EQ(document.paragraphs[0].markFormat, regular);
}

struct TextCase {
    const char* name;
    std::string_view rtf;
    std::string_view text;  // paragraphs joined by '\n'
};

class RtfReaderText : public testing::TestWithParam<TextCase> {};

TEST_P(RtfReaderText, DecodesTo) {
    EXPECT_EQ(readRtf(GetParam().rtf).plainText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderText,
    testing::Values(
        TextCase{"Cp1252Bytes",
                 R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0 Arial;}}caf\'e9 \'80)", "café €"},
        TextCase{"DefaultCharsetUsesAnsiCodePage",
                 R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset1 Arial;}}\f0\'cf\'f0\par})",
                 "Пр"},
        TextCase{"FontCharsetBeatsAnsiCodePage",
                 R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset161 Arial;}}\f0\'e1\par})", "α"},
        TextCase{
            "DoubleByteHalvesJoinAcrossEscapes",
            R"({\rtf1\ansi\ansicpg932{\fonttbl{\f0\fcharset128 Gothic;}}\f0\'83\'65\'83\'58\par})",
            "テス"},
        TextCase{"UnicodeSkipsOneFallback", R"({\rtf1\uc1 a\u8364?b\u-3?c})", "a€b\uFFFDc"},
        TextCase{"UnicodeSkipsTwoHexFallbacks", R"({\rtf1\uc2\u20445\'95\'dbX})", "保X"},
        TextCase{"UnicodeWithoutFallback", R"({\rtf1\uc0\u1055\u1088!})", "Пр!"},
        TextCase{"SurrogatePair", R"({\rtf1\uc1\u55357?\u56898?!})", "🙂!"},
        TextCase{"LoneSurrogateIsReplaced", R"({\rtf1\uc1\u55357?x})", "\uFFFDx"},
        TextCase{"FallbackSkipEndsWithItsGroup", R"({\rtf1\uc3{\u1055}abc})", "Пabc"},
        TextCase{"ControlSymbols", R"({\rtf1 a\~b\-c\_d\\\{\}})", "a\u00A0bc\u2011d\\{}"},
        TextCase{"TabsAndLineBreaks", "{\\rtf1 a\\tab b\\line c\r\nd\\par e}", "a\tb\ncd\ne"},
        TextCase{"NamedCharacters", R"({\rtf1\emdash\lquote x\rquote\bullet})", "—‘x’•"},
        TextCase{"IgnorableDestinationsAreSkipped",
                 R"({\rtf1{\*\generator Writer 1.0;}a{\*\unknown {nested} text}b})", "ab"},
        TextCase{"KnownDestinationsAreSkipped",
                 R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}}a{\pict\pngblip 89504e47}b})",
                 "ab"},
        TextCase{"BinaryDataMayHoldBraces", R"({\rtf1 a{\pict\bin4 }}{{}b})", "ab"},
        TextCase{"FieldShowsItsResult",
                 R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        TextCase{"HiddenTextIsLeftOut", R"({\rtf1 a\v secret\v0 b})", "ab"},
        TextCase{"UnknownWordsAreIgnored", R"({\rtf1\foo12\barbaz a\qux-3 b})", "ab"},
        TextCase{"TextAfterTheDocumentIsIgnored", R"({\rtf1 a}b)", "a"},
        TextCase{"TrailingEmptyParagraphIsDropped", R"({\rtf1 a\par\par})", "a\n"},
        TextCase{"MissingClosingBraces", R"({\rtf1{\b bold)", "bold"},
        TextCase{"CutInsideAnEscape", R"({\rtf1 ab\'e)", "ab"},
        TextCase{"CutInsideTheFontTable", R"({\rtf1{\fonttbl{\f0 Ari)", ""}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST(RtfReader, ParagraphFormats) {
    RichDocument document = readRtf(
        R"({\rtf1\pard\qc a\par\qr\li720\ri360\fi-240 b\par\pard c\par\qj d\par\ql e\par})");
    ASSERT_EQ(document.paragraphs.size(), 5u);
    EXPECT_EQ(document.paragraphs[0].alignment, Alignment::Center);
    const Paragraph& b = document.paragraphs[1];
    EXPECT_EQ(b.alignment, Alignment::Right);
    EXPECT_EQ(b.leftIndent, 720);
    EXPECT_EQ(b.rightIndent, 360);
    EXPECT_EQ(b.firstIndent, -240);
    const Paragraph& c = document.paragraphs[2];  // \pard resets them all
    EXPECT_EQ(c.alignment, Alignment::Left);
    EXPECT_EQ(c.leftIndent, 0);
    EXPECT_EQ(c.firstIndent, 0);
    EXPECT_EQ(document.paragraphs[3].alignment, Alignment::Justify);
    EXPECT_EQ(document.paragraphs[4].alignment, Alignment::Left);
}

// Paragraph properties carry over \par and \pard resets each of them.
TEST(RtfReader, PardResetsEveryParagraphProperty) {
    struct Case {
        const char* word;
        std::function<bool(const Paragraph&)> isSet;
    };
    const Case cases[] = {
        {"\\qc", [](const Paragraph& p) { return p.alignment == Alignment::Center; }},
        {"\\qr", [](const Paragraph& p) { return p.alignment == Alignment::Right; }},
        {"\\qj", [](const Paragraph& p) { return p.alignment == Alignment::Justify; }},
        {"\\li300", [](const Paragraph& p) { return p.leftIndent == 300; }},
        {"\\ri300", [](const Paragraph& p) { return p.rightIndent == 300; }},
        {"\\fi300", [](const Paragraph& p) { return p.firstIndent == 300; }},
    };
    const Paragraph plain;
    for (const Case& c : cases) {
        RichDocument document =
            readRtf(std::string("{\\rtf1") + c.word + " set\\par kept\\par\\pard reset\\par}");
        ASSERT_EQ(document.paragraphs.size(), 3u) << c.word;
        EXPECT_TRUE(c.isSet(document.paragraphs[0])) << c.word;
        EXPECT_TRUE(c.isSet(document.paragraphs[1])) << c.word << " after \\par";
        const Paragraph& reset = document.paragraphs[2];
        EXPECT_FALSE(c.isSet(reset)) << c.word << " after \\pard";
        EXPECT_EQ(reset.alignment, plain.alignment) << c.word;
        EXPECT_EQ(reset.leftIndent, plain.leftIndent) << c.word;
        EXPECT_EQ(reset.rightIndent, plain.rightIndent) << c.word;
        EXPECT_EQ(reset.firstIndent, plain.firstIndent) << c.word;
    }
}

TEST(RtfReader, CharacterFormatsFollowGroupsAndPlain) {
    RichDocument document = readRtf(
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red1\green2\blue3;\red0\green255\blue0;})"
        R"(\f1\fs30\b\i\ul\strike\cf1\highlight2 all{\b0\ulnone plain} all\plain default})");
    const TextRun& all = runWith(document, "all");
    EXPECT_EQ(all.format.face, "Courier New");
    EXPECT_EQ(all.format.halfPoints, 30);
    EXPECT_TRUE(all.format.bold && all.format.italic && all.format.underline &&
                all.format.strikeOut);
    EXPECT_EQ(all.format.color, 0x030201u);
    EXPECT_EQ(all.format.highlight, 0x00FF00u);
    const TextRun& inner = runWith(document, "plain");
    EXPECT_FALSE(inner.format.bold);
    EXPECT_FALSE(inner.format.underline);
    EXPECT_TRUE(inner.format.italic);
    EXPECT_EQ(runWith(document, " all").format, all.format);  // the group ended
    const TextRun& reset = runWith(document, "default");
    EXPECT_EQ(reset.format.face, "Arial");
    EXPECT_EQ(reset.format.halfPoints, kDefaultHalfPoints);
    EXPECT_FALSE(reset.format.bold || reset.format.italic || reset.format.underline);
    EXPECT_FALSE(reset.format.color.has_value());
}

TEST(RtfReader, BadTableReferencesFallBackToDefaults) {
    RichDocument document =
        readRtf(R"({\rtf1{\colortbl;\red9\green9\blue9;}\f7\cf5\highlight9\fs0 x\ulc1 y})");
    const TextRun& run = runWith(document, "xy");
    EXPECT_EQ(run.format.face, "Arial");
    EXPECT_FALSE(run.format.color.has_value());
    EXPECT_FALSE(run.format.highlight.has_value());
    EXPECT_EQ(run.format.halfPoints, kDefaultHalfPoints);
    EXPECT_FALSE(run.format.underline);  // \ulc is the underline colour
}

TEST(RtfReader, EveryPrefixOfADocumentReadsAsAPrefixOfItsText) {
    const std::string full = readRtf(kRichEditSample).plainText();
    for (std::size_t length = 0; length <= kRichEditSample.size(); ++length) {
        std::string text = readRtf(kRichEditSample.substr(0, length)).plainText();
        EXPECT_TRUE(full.starts_with(text)) << "prefix " << length << " gave " << text;
    }
}

TEST(RtfReader, DeepNestingIsBounded) {
    std::string deep =
        "{\\rtf1 a" + std::string(100000, '{') + "\\b x" + std::string(100000, '}') + "b}";
    EXPECT_EQ(readRtf(deep).plainText(), "ab");
    std::string unbalanced = "{\\rtf1 a" + std::string(100000, '{') + "z";
    EXPECT_EQ(readRtf(unbalanced).plainText(), "a");
}

TEST(RtfReader, LooksLikeRtf) {
    EXPECT_TRUE(looksLikeRtf(kRichEditSample));
    EXPECT_TRUE(looksLikeRtf("\r\n {\\rtf1}"));
    EXPECT_FALSE(looksLikeRtf("Click Save"));
    EXPECT_FALSE(looksLikeRtf("{\\rt"));
}

TEST(RtfReader, LibreOfficeWriterFile) {
    RichDocument document = readFixture("libreoffice-caption.rtf");
    ASSERT_EQ(document.paragraphs.size(), 3u);
    EXPECT_EQ(paragraphText(document.paragraphs[0]),
              "Click Save, then close and check the old red result.");
    EXPECT_EQ(paragraphText(document.paragraphs[1]), "Centred café line\nsecond line");
    EXPECT_EQ(paragraphText(document.paragraphs[2]), "Привет €5");
    EXPECT_EQ(document.paragraphs[0].alignment, Alignment::Left);
    EXPECT_EQ(document.paragraphs[1].alignment, Alignment::Center);
    EXPECT_EQ(document.paragraphs[2].alignment, Alignment::Right);

    const TextRun& click = runWith(document, "Click");
    EXPECT_EQ(click.format.face, "Arial");
    EXPECT_EQ(click.format.halfPoints, 20);
    EXPECT_FALSE(click.format.bold || click.format.italic || click.format.underline);
    EXPECT_TRUE(runWith(document, "Save").format.bold);
    EXPECT_TRUE(runWith(document, "close").format.italic);
    EXPECT_TRUE(runWith(document, "check").format.underline);
    EXPECT_TRUE(runWith(document, "old").format.strikeOut);
    EXPECT_EQ(runWith(document, "red").format.color, 0x0000FFu);
    EXPECT_FALSE(click.format.color.has_value());
    const TextRun& centred = runWith(document, "Centred");
    EXPECT_EQ(centred.format.face, "Times New Roman");
    EXPECT_EQ(centred.format.halfPoints, 32);
    const TextRun& cyrillic = runWith(document, "Привет");
    EXPECT_EQ(cyrillic.format.face, "Courier New");
    EXPECT_EQ(cyrillic.format.halfPoints, 24);
}

TEST(RtfReader, PandocFile) {
    RichDocument document = readFixture("pandoc-caption.rtf");
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(paragraphText(document.paragraphs[0]),
              "Click Save, then close the old window.\nSecond line of the same paragraph.");
    EXPECT_EQ(paragraphText(document.paragraphs[1]), "Привет, café — “quoted” 🙂");
    EXPECT_EQ(runWith(document, "Click").format.face, "Helvetica");
    EXPECT_TRUE(runWith(document, "Save").format.bold);
    EXPECT_TRUE(runWith(document, "close").format.italic);
    EXPECT_TRUE(runWith(document, "old").format.strikeOut);
    EXPECT_FALSE(runWith(document, "window").format.bold);
}

TEST(RtfReader, RichEditFilesInNonLatinCodePages) {
    RichDocument cyrillic = readFixture("richedit-cyrillic.rtf");
    EXPECT_EQ(cyrillic.plainText(), "Привет мир!\ncafé €");
    EXPECT_EQ(cyrillic.paragraphs[0].alignment, Alignment::Center);
    const TextRun& world = runWith(cyrillic, "мир");
    EXPECT_TRUE(world.format.bold);
    EXPECT_EQ(world.format.color, 0xFF0000u);
    EXPECT_EQ(world.format.charset, 204);

    RichDocument japanese = readFixture("richedit-japanese.rtf");
    EXPECT_EQ(japanese.plainText(), "テスト Save 保存");
    EXPECT_EQ(runWith(japanese, "テスト").format.face, "MS UI Gothic");
}

}  // namespace
}  // namespace lumenreel
