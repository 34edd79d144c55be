#include <sys/stat.h>

#include <gtest/gtest.h>

#include "base/FileBytes.h"
#include "support/TestSupport.h"

namespace {

using lumenreel::readFileBytes;
using lumenreel::test::TempDir;
using lumenreel::test::writeBytes;

constexpr std::uint64_t kLimit = 16;

TEST(FileBytesTest, ReadsRegularFilesWithinTheLimitAndRefusesEverythingElse) {
    TempDir dir;
    const std::vector<std::uint8_t> atLimit(kLimit, 0x41);
    writeBytes(dir / "at-limit", atLimit);
    writeBytes(dir / "over-limit", std::vector<std::uint8_t>(kLimit + 1, 0x42));
    writeBytes(dir / "empty", {});
    writeBytes(dir / "small", {1, 2, 3});
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    struct Case {
        std::filesystem::path path;
        std::vector<std::uint8_t> bytes;
        std::string error;
        bool missing;
    };
    const Case cases[] = {
        {dir / "small", {1, 2, 3}, "", false},
        {dir / "empty", {}, "", false},
        {dir / "at-limit", atLimit, "", false},
        {dir / "over-limit", {}, "larger than 16 bytes", false},
        {dir / "folder", {}, "a directory, not a file", false},
        {dir / "pipe", {}, "not a regular file", false},
        {"/dev/zero", {}, "not a regular file", false},
        // Reports a size of 0 yet holds more: only the bounded read can catch it.
        {"/proc/self/maps", {}, "larger than 16 bytes", false},
        {dir / "missing", {}, "no such file", true},
        {dir / "missing" / "below", {}, "no such file", true},
    };
    for (const Case& c : cases) {
        const lumenreel::FileBytes result = readFileBytes(c.path, kLimit);
        EXPECT_EQ(result.error, c.error) << c.path;
        EXPECT_EQ(result.ok(), c.error.empty()) << c.path;
        EXPECT_EQ(result.missing, c.missing) << c.path;
        EXPECT_EQ(result.bytes, c.bytes) << c.path;
    }
}

}  // namespace
