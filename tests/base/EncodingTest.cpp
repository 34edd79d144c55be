#include <gtest/gtest.h>

#include "base/ArchiveString.h"
#include "base/ByteReader.h"
#include "base/CodePage.h"
#include "base/Guid.h"
#include "base/MemFile.h"

namespace {

using lumenreel::ByteReader;

TEST(GuidTest, TextParsesIntoTheStandardBinaryLayout) {
    constexpr Guid container = Guid::fromString("{DA84155E-5E20-42B0-B406-9A2400F99B95}");
    const std::array<std::uint8_t, 16> expected{0x5E, 0x15, 0x84, 0xDA, 0x20, 0x5E, 0xB0, 0x42,
                                                0xB4, 0x06, 0x9A, 0x24, 0x00, 0xF9, 0x9B, 0x95};
    EXPECT_EQ(container.bytes, expected);
    EXPECT_EQ(container.toString(), "{DA84155E-5E20-42B0-B406-9A2400F99B95}");
    EXPECT_EQ(Guid::fromBytes(expected), container);
    EXPECT_EQ(Guid::fromString("{DA84155E-5E20-42B0-B406-9A2400F99B9}"), Guid{});
    EXPECT_EQ(Guid::fromString("{DA84155E-5E20-42B0-B406-9A2400F99BZZ}"), Guid{});
}

TEST(ByteReaderTest, NeverReadsPastTheEndAndBoundsCounts) {
    const std::uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05};
    ByteReader reader(data);
    EXPECT_EQ(reader.u32(), 0x04030201u);
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.canHold(1, 1));
    EXPECT_FALSE(reader.canHold(2, 1));
    EXPECT_FALSE(reader.ok());
    ByteReader second(data);
    EXPECT_EQ(second.u16(), 0x0201u);
    EXPECT_EQ(second.u32(), 0u);  // only three bytes remain
    EXPECT_FALSE(second.ok());
    EXPECT_TRUE(second.take(1).empty());
}

struct ArchiveStringCase {
    std::size_t length;
    std::vector<std::uint8_t> prefix;
};

class ArchiveStringTest : public ::testing::TestWithParam<ArchiveStringCase> {};

TEST_P(ArchiveStringTest, PrefixMatchesTheLengthAndReadsBack) {
    const auto& param = GetParam();
    std::string text(param.length, 'x');
    std::vector<std::uint8_t> bytes;
    lumenreel::appendArchiveString(bytes, text);
    ASSERT_EQ(bytes.size(), param.prefix.size() + param.length);
    EXPECT_TRUE(std::equal(param.prefix.begin(), param.prefix.end(), bytes.begin()));

    ByteReader reader(bytes);
    EXPECT_EQ(lumenreel::readArchiveString(reader), text);
    CKWXOleStreamFile file(bytes);
    EXPECT_EQ(lumenreel::readArchiveString(file), text);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ArchiveStringTest,
    ::testing::Values(ArchiveStringCase{0, {0x00}}, ArchiveStringCase{30, {0x1E}},
                      ArchiveStringCase{254, {0xFE}}, ArchiveStringCase{255, {0xFF, 0xFF, 0x00}},
                      ArchiveStringCase{300, {0xFF, 0x2C, 0x01}},
                      ArchiveStringCase{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}),
    [](const auto& info) { return "length" + std::to_string(info.param.length); });

TEST(ArchiveStringTest, RejectsLengthsBeyondTheDataAndReadsTheWideForm) {
    const std::vector<std::uint8_t> truncated{0x05, 'a', 'b'};
    ByteReader reader(truncated);
    EXPECT_FALSE(lumenreel::readArchiveString(reader).has_value());
    CKWXOleStreamFile file(truncated);
    EXPECT_FALSE(lumenreel::readArchiveString(file).has_value());

    // 0xFF 0xFFFE marks UTF-16 characters: "Ä!" as U+00C4 U+0021.
    const std::vector<std::uint8_t> wide{0xFF, 0xFE, 0xFF, 0x02, 0xC4, 0x00, 0x21, 0x00};
    ByteReader wideReader(wide);
    EXPECT_EQ(lumenreel::readArchiveString(wideReader), std::string("\xC4!"));
}

TEST(CodePageTest, ConvertsBetweenCodePagesAndUtf8) {
    EXPECT_EQ(lumenreel::ansiToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(lumenreel::utf8ToAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    EXPECT_EQ(lumenreel::utf8ToAnsi("\xE6\x97\xA5"), "?");  // no such character in cp1252
    // Shift-JIS (cp932) double-byte: 0x93 0xFA is U+65E5.
    EXPECT_EQ(lumenreel::codePageToUtf8("\x93\xFA", 932), "\xE6\x97\xA5");
    EXPECT_EQ(lumenreel::utf8ToCodePage("\xE6\x97\xA5", 932), "\x93\xFA");
    // 0x81 is undefined in cp1252.
    EXPECT_EQ(lumenreel::ansiToUtf8("a\x81z"), "a\xEF\xBF\xBDz");
}

// A system without its conversion modules still converts, keeping ASCII (it once recursed until
// the stack ran out).
TEST(CodePageTest, WithoutConvertersAsciiPassesAndTheRestIsSubstituted) {
    using lumenreel::asciiOrSubstitute;
    using lumenreel::TextKind;
    EXPECT_EQ(asciiOrSubstitute("caf\xE9 ok", TextKind::codePage, "\xEF\xBF\xBD"),
              "caf\xEF\xBF\xBD ok");
    EXPECT_EQ(asciiOrSubstitute("caf\xC3\xA9 \xE2\x82\xAC ok", TextKind::utf8, "?"), "caf? ? ok");
    EXPECT_EQ(asciiOrSubstitute("", TextKind::utf8, "?"), "");
}

TEST(CodePageTest, FoldsCaseOfAsciiAndWindows1252Letters) {
    EXPECT_EQ(lumenreel::ansiToUpper("play_n.png \xE9\xFF"), "PLAY_N.PNG \xC9\x9F");
    EXPECT_EQ(lumenreel::ansiCompareNoCase("Player Skin", "PLAYER SKIN"), 0);
    EXPECT_LT(lumenreel::ansiCompareNoCase("localization.txt", "Player Skin"), 0);
    EXPECT_LT(lumenreel::ansiCompareNoCase("skin_config.txt", "Stop_hn.png"), 0);
    EXPECT_GT(lumenreel::ansiCompareNoCase("abc", "ab"), 0);
}

}  // namespace
