#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/ResourceTrailer.h"
#include "base/MemFile.h"
#include "images/PngCodec.h"
#include "player/PanelNavigateDialog.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

CommandResult bundle(const std::filesystem::path& movie, const std::filesystem::path& output) {
    return runCommand(shellQuote((binaryDir() / "lumenreel").string()) + " bundle " +
                      shellQuote(movie.string()) + " --output " + shellQuote(output.string()));
}

TEST(BundleCommandTest, ReplacesAProgramThatIsStillRunning) {
    TempDir dir;
    writeBytes(dir / "demo.zcd", makeTestDemo(32, 24));
    const std::filesystem::path output = dir / "demo-player";
    std::filesystem::copy_file("/bin/sleep", output);
    const CommandResult started =
        runCommand(shellQuote(output.string()) + " 30 >/dev/null 2>&1 & echo $!");
    ASSERT_EQ(started.exitCode, 0);
    const std::string pid = started.out.substr(0, started.out.find('\n'));

    const CommandResult made = bundle(dir / "demo.zcd", output);
    const bool oldCopyRuns = runCommand("kill -0 " + pid).exitCode == 0;
    runCommand("kill " + pid);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(oldCopyRuns);

    CKWXOleStreamFile stream(readBytes(output));
    EXPECT_EQ(readResourceTrailer(stream).status, TrailerContents::Status::ok);
    const auto permissions = std::filesystem::status(output).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left beside the output";
}

TEST(BundleCommandTest, ABundleCutShortOrWithBytesAddedSaysItIsIgnored) {
    TempDir dir;
    writeBytes(dir / "demo.zcd", makeTestDemo(32, 24));
    ASSERT_EQ(bundle(dir / "demo.zcd", dir / "whole").exitCode, 0);
    std::vector<std::uint8_t> whole = readBytes(dir / "whole");
    std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 10);
    std::vector<std::uint8_t> added = whole;
    added.insert(added.end(), {'j', 'u', 'n', 'k'});
    struct Case {
        const char* name;
        std::vector<std::uint8_t> program;
        bool ignored;
    };
    for (const Case& c :
         {Case{"whole", whole, false}, Case{"cut", cut, true}, Case{"added", added, true}}) {
        const auto program = dir / c.name;
        writeBytes(program, c.program);
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        const CommandResult ran = runCommand(shellQuote(program.string()) + " --snapshot " +
                                             shellQuote((dir / "shot.png").string()));
        EXPECT_EQ(ran.err.find("ignoring the bundled data: ") != std::string::npos, c.ignored)
            << c.name << ": " << ran.err;
    }
}

TEST(BundleCommandTest, ABundledDocumentPlaysAsTheDocumentFileDoes) {
    TempDir dir;
    writeBytes(dir / "doc.zcs", richDocumentFile());
    ASSERT_EQ(bundle(dir / "doc.zcs", dir / "doc-player").exitCode, 0);
    const std::string player = shellQuote((binaryDir() / "lumenreel-player").string());
    const std::string at = " --at 2.6 --size 400x300 ";
    const CommandResult bundled =
        runCommand(shellQuote((dir / "doc-player").string()) + " --snapshot " +
                   shellQuote((dir / "bundled.png").string()) + at);
    ASSERT_EQ(bundled.exitCode, 0) << bundled.err;
    const CommandResult opened =
        runCommand(player + " --snapshot " + shellQuote((dir / "opened.png").string()) + at +
                   shellQuote((dir / "doc.zcs").string()));
    ASSERT_EQ(opened.exitCode, 0) << opened.err;
    const CommandResult empty =
        runCommand(player + " --snapshot " + shellQuote((dir / "empty.png").string()) + at);
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    // The window above the panel, whose Loop button is lit only for the bundle.
    auto movieArea = [&](const char* name) {
        CImageExt window;
        EXPECT_TRUE(decodePng(readBytes(dir / name), window)) << name;
        CImageExt area;
        EXPECT_TRUE(area.create(window.width(),
                                window.height() - 2 * CPlayerNavigateDialog::kDefaultHeight, 32));
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                area.setPixel(x, y, window.pixel(x, y));
        return area;
    };
    EXPECT_TRUE(movieArea("bundled.png").equals(movieArea("opened.png")));
    EXPECT_FALSE(movieArea("bundled.png").equals(movieArea("empty.png")));
}

TEST(BundleCommandTest, AnUnwritableOutputFailsWithItsName) {
    TempDir dir;
    writeBytes(dir / "demo.zcd", makeTestDemo(32, 24));
    const CommandResult made = bundle(dir / "demo.zcd", dir / "missing" / "demo-player");
    EXPECT_NE(made.exitCode, 0);
    EXPECT_NE(made.err.find("cannot create a file beside it: No such file or directory"),
              std::string::npos)
        << made.err;
    EXPECT_NE(made.err.find("demo-player"), std::string::npos) << made.err;
}

}  // namespace
}  // namespace lumenreel::test
