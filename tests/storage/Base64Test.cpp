#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/Base64.h"
#include "support/TestSupport.h"

namespace {

using lumenreel::base64Decode;
using lumenreel::base64Encode;

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(Base64Test, MatchesTheCoreutilsToolForEveryPaddingLength) {
    lumenreel::test::TempDir dir;
    std::vector<std::uint8_t> data;
    for (int i = 0; i < 300; ++i)
        data.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    for (std::size_t length : {0, 1, 2, 3, 4, 5, 299, 300}) {
        std::vector<std::uint8_t> part(data.begin(), data.begin() + length);
        lumenreel::test::writeBytes(dir / "in", part);
        auto tool = lumenreel::test::runCommand("base64 -w0 " +
                                                lumenreel::test::shellQuote((dir / "in").string()));
        ASSERT_EQ(tool.exitCode, 0) << tool.err;
        std::string ours = base64Encode(part);
        EXPECT_EQ(ours, tool.out) << length;
        EXPECT_EQ(base64Decode(ours), part) << length;
    }
}

TEST(Base64Test, DecodingSkipsWhiteSpaceAndRejectsMalformedText) {
    EXPECT_EQ(base64Decode(" TWFu\r\n  TQ==\n"), bytes("ManM"));
    for (const char* bad : {"TWF", "TW=u", "T===", "TQ==TWFu", "TQ==x", "TW*u", "=AAA"}) {
        EXPECT_FALSE(base64Decode(bad).has_value()) << bad;
    }
}

}  // namespace
