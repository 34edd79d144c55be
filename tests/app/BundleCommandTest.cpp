#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "app/ResourceTrailer.h"
#include "base/MemFile.h"
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
