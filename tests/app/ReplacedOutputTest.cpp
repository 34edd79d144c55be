#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};

std::string tool(const std::string& name) {
    return shellQuote((binaryDir() / name).string());
}

std::string tour() {
    return shellQuote((binaryDir() / "tour.zcd").string());
}

// Every command that writes a file, with OUT standing for the file it writes.
struct Writer {
    const char* name;
    std::string command;
};

std::vector<Writer> writers() {
    return {{"render", tool("lumenreel") + " render " + tour() + " --time 3 --output OUT"},
            {"audio", tool("lumenreel") + " audio " + tour() + " --output OUT"},
            {"bundle", tool("lumenreel") + " bundle " + tour() + " --output OUT"},
            {"snapshot", tool("lumenreel-player") + " --snapshot OUT --at 3 " + tour()}};
}

std::string withOutput(std::string command, const std::filesystem::path& output) {
    command.replace(command.find("OUT"), 3, shellQuote(output.string()));
    return command;
}

std::size_t entries(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// A file size limit stands in for a full disk: writes past it fail as they would there.
TEST(ReplacedOutputTest, AWriteThatFailsLeavesTheEarlierFileAndNothingElse) {
    for (const Writer& writer : writers()) {
        TempDir dir;
        const auto output = dir / "out";
        writeBytes(output, kOld);
        const CommandResult result =
            runCommand("trap '' XFSZ; ulimit -f 16; " + withOutput(writer.command, output));
        EXPECT_EQ(result.exitCode, 2) << writer.name << ": " << result.err;
        EXPECT_NE(result.err.find("File too large"), std::string::npos)
            << writer.name << ": " << result.err;
        EXPECT_EQ(readBytes(output), kOld) << writer.name;
        EXPECT_EQ(entries(dir.path()), 1u) << writer.name << ": nothing is left beside it";
    }
}

TEST(ReplacedOutputTest, FramesThatFailLeaveTheEarlierFramesAndNothingElse) {
    TempDir dir;
    writeBytes(dir / "frame_000000.png", kOld);
    const CommandResult result =
        runCommand("trap '' XFSZ; ulimit -f 16; " + tool("lumenreel") + " frames " + tour() +
                   " --fps 1 --overwrite --output-dir " + shellQuote(dir.path().string()));
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(readBytes(dir / "frame_000000.png"), kOld);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ReplacedOutputTest, AnOutputThatIsNotARegularFileIsRefusedAndKept) {
    for (const Writer& writer : writers()) {
        TempDir dir;
        const auto fifo = dir / "pipe";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::filesystem::create_directory(dir / "folder");
        for (const auto& output : {fifo, dir / "folder"}) {
            const CommandResult result = runCommand(withOutput(writer.command, output));
            EXPECT_EQ(result.exitCode, 2)
                << writer.name << " onto " << output << ": " << result.err;
        }
        EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << writer.name;
        EXPECT_TRUE(std::filesystem::is_directory(dir / "folder")) << writer.name;
        EXPECT_EQ(entries(dir.path()), 2u) << writer.name;
    }
}

TEST(ReplacedOutputTest, ACompleteWriteReplacesTheEarlierFile) {
    for (const Writer& writer : writers()) {
        TempDir dir;
        const auto output = dir / "out";
        writeBytes(output, kOld);
        const CommandResult result = runCommand(withOutput(writer.command, output));
        EXPECT_EQ(result.exitCode, 0) << writer.name << ": " << result.err;
        EXPECT_GT(std::filesystem::file_size(output), kOld.size()) << writer.name;
        EXPECT_EQ(entries(dir.path()), 1u) << writer.name;
    }
}

}  // namespace
}  // namespace lumenreel::test
