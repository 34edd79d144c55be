#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/RecursiveBinaryFile.h"
#include "support/TestSupport.h"

namespace {

using lumenreel::test::CommandResult;
using lumenreel::test::runCommand;
using lumenreel::test::shellQuote;
using lumenreel::test::TempDir;
using lumenreel::test::writeBytes;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

CommandResult lumenreel(const std::string& arguments) {
    return runCommand(shellQuote((lumenreel::test::binaryDir() / "lumenreel").string()) + " " +
                      arguments);
}

std::string quoted(const std::filesystem::path& path) {
    return shellQuote(path.string());
}

TEST(ContainerCommandTest, PacksAFolderListsAndCatsIt) {
    TempDir dir;
    std::filesystem::create_directories(dir / "skin" / "Player Skin" / "Sub");
    writeBytes(dir / "skin" / "localization.txt", bytesOf("PLAY=Play\n"));
    writeBytes(dir / "skin" / "Player Skin" / "skin_config.txt", bytesOf("cfg"));
    writeBytes(dir / "skin" / "Player Skin" / "Stop_hn.png", bytesOf("png"));
    writeBytes(dir / "skin" / "Player Skin" / "empty.txt", {});
    writeBytes(dir / "skin" / "Player Skin" / "Sub" / "a", bytesOf("a"));

    CommandResult packed = lumenreel("container pack " + quoted(dir / "skin") + " --output " +
                                     quoted(dir / "skin.bin"));
    ASSERT_EQ(packed.exitCode, 0) << packed.err;

    // Data is stored in the order the folder is walked (sorted byte-wise), the index in
    // case-insensitive order.
    CommandResult listed = lumenreel("container list " + quoted(dir / "skin.bin"));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "localization.txt\t10\t31\n"
              "Player Skin\t0\t0\n"
              "Player Skin\\skin_config.txt\t3\t28\n"
              "Player Skin\\Stop_hn.png\t3\t24\n"
              "Player Skin\\Sub\t0\t0\n"
              "Player Skin\\Sub\\a\t1\t27\n");

    CommandResult config =
        lumenreel("container cat " + quoted(dir / "skin.bin") + " 'PLAYER SKIN\\SKIN_CONFIG.TXT'");
    EXPECT_EQ(config.exitCode, 0) << config.err;
    EXPECT_EQ(config.out, "cfg");
    CommandResult toFile = lumenreel("container cat " + quoted(dir / "skin.bin") +
                                     " 'Player Skin\\Sub\\a' -o " + quoted(dir / "a.out"));
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(lumenreel::test::readBytes(dir / "a.out"), bytesOf("a"));

    CommandResult missing =
        lumenreel("container cat " + quoted(dir / "skin.bin") + " 'Player Skin\\empty.txt'");
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.err,
              "lumenreel: " + (dir / "skin.bin").string() + ": no key Player Skin\\empty.txt\n");
}

TEST(ContainerCommandTest, ListsNumericKeysAndKeysWithoutData) {
    TempDir dir;
    std::string path = (dir / "doc.bin").string();
    CRecursiveBinaryFile container;
    ASSERT_TRUE(container.OpenWrite(path));
    ASSERT_TRUE(container.AddKey("ZEPHYRCAST_ROOT", true));
    ASSERT_TRUE(container.AddKey(7u, true));
    ASSERT_TRUE(container.WriteData("seven", 5));
    ASSERT_TRUE(container.GoUp());
    ASSERT_TRUE(container.AddKey("document_type", true));
    ASSERT_TRUE(container.WriteData("type", 4));
    ASSERT_TRUE(container.Close());

    CommandResult listed = lumenreel("container list " + shellQuote(path));
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "ZEPHYRCAST_ROOT\t0\t0\n"
              "ZEPHYRCAST_ROOT\\#7\t5\t24\n"
              "ZEPHYRCAST_ROOT\\document_type\t4\t29\n");
    CommandResult seven = lumenreel("container cat " + shellQuote(path) + " 'ZEPHYRCAST_ROOT\\#7'");
    EXPECT_EQ(seven.exitCode, 0) << seven.err;
    EXPECT_EQ(seven.out, "seven");
}

TEST(ContainerCommandTest, PackingSaysWhatItLeftOutAndNeverFollowsALink) {
    TempDir dir;
    TempDir outside;
    std::filesystem::create_directories(dir / "skin");
    writeBytes(dir / "skin" / "a.txt", bytesOf("a"));
    writeBytes(dir / "skin" / "empty.txt", {});
    writeBytes(outside / "secret.txt", bytesOf("secret"));
    std::filesystem::create_symlink(outside / "secret.txt", dir / "skin" / "link.txt");
    std::filesystem::create_directory_symlink(outside.path(), dir / "skin" / "linked");

    CommandResult packed = lumenreel("container pack " + quoted(dir / "skin") + " --output " +
                                     quoted(dir / "skin.bin"));
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(lumenreel("container list " + quoted(dir / "skin.bin")).out, "a.txt\t1\t24\n");
    for (const char* left : {"empty.txt: an empty file", "link.txt: a link, not followed",
                             "linked: a link, not followed"})
        EXPECT_NE(packed.err.find(left), std::string::npos) << packed.err;
}

TEST(ContainerCommandTest, APackThatFailsLeavesNothingAndNamesTheFile) {
    struct Case {
        const char* what;
        std::string limits;
        std::string reason;
    };
    // A file size limit stands in for a full disk.
    const Case cases[] = {{"a file too large to pack", "", "big.bin: larger than"},
                          {"a full disk", "trap '' XFSZ; ulimit -f 64; ", "skin.bin: "}};
    for (const Case& c : cases) {
        TempDir dir;
        std::filesystem::create_directories(dir / "skin");
        writeBytes(dir / "skin" / "a.txt", bytesOf("a"));
        std::vector<std::uint8_t> noise(200000);
        for (std::size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
        writeBytes(dir / "skin" / "noise.bin", noise);
        if (std::string(c.what) == "a file too large to pack") {
            writeBytes(dir / "skin" / "big.bin", {});
            std::filesystem::resize_file(dir / "skin" / "big.bin", std::uintmax_t{2} << 30);
        }
        writeBytes(dir / "skin.bin", bytesOf("old"));
        CommandResult packed = runCommand(
            c.limits + shellQuote((lumenreel::test::binaryDir() / "lumenreel").string()) +
            " container pack " + quoted(dir / "skin") + " --output " + quoted(dir / "skin.bin"));
        EXPECT_EQ(packed.exitCode, 2) << c.what << ": " << packed.err;
        EXPECT_NE(packed.err.find(c.reason), std::string::npos) << c.what << ": " << packed.err;
        EXPECT_EQ(lumenreel::test::readBytes(dir / "skin.bin"), bytesOf("old")) << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << c.what;
    }
}

TEST(ContainerCommandTest, ReportsBadInputAndUsage) {
    TempDir dir;
    writeBytes(dir / "text", bytesOf("just some text, long enough for a header"));
    struct Case {
        std::string arguments;
        int exitCode;
        std::string subject;
    };
    const Case cases[] = {
        {"container list " + quoted(dir / "text"), 2, (dir / "text").string()},
        {"container list " + quoted(dir / "missing"), 2, (dir / "missing").string()},
        {"container cat " + quoted(dir / "text") + " x", 2, (dir / "text").string()},
        {"container pack " + quoted(dir / "text") + " --output " + quoted(dir / "out"), 2,
         (dir / "text").string()},
        {"container list", 1, ""},
        {"container pack " + quoted(dir.path()), 1, ""},
    };
    for (const Case& c : cases) {
        CommandResult result = lumenreel(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments;
        if (c.exitCode == 2) {
            EXPECT_EQ(result.err.rfind("lumenreel: " + c.subject + ": ", 0), 0u) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
    }
}

}  // namespace
