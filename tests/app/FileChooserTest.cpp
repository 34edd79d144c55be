#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/stat.h>

#include <thread>

#include "app/ChildProgram.h"
#include "app/FileChooser.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Filter = FileChooser::Filter;

TEST(FileChooser, DialogFilterTextsBecomeFilters) {
    struct Case {
        std::string text;
        std::vector<Filter> filters;
    };
    const Case cases[] = {
        {"Lumenreel demos (*.zcd)|*.zcd|All files (*.*)|*.*||",
         {{"Lumenreel demos (*.zcd)", {"*.zcd"}}, {"All files (*.*)", {"*"}}}},
        {"Movies|*.zcd;*.zcs||", {{"Movies", {"*.zcd", "*.zcs"}}}},
        // A description without patterns, or a text that is not a filter, offers nothing.
        {"Lonely|", {}},
        {"zcd", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileChooser::parseFilterText(c.text), c.filters) << c.text;
}

// A stand-in zenity on the PATH that records its arguments and answers with a path.
TEST(FileChooser, RunsTheChooserWithEveryFilterAndReturnsItsAnswer) {
    TempDir dir;
    const std::filesystem::path script = dir.path() / "zenity";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \""
            << (dir.path() / "args").string() << "\"\necho /movies/tour.zcs\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.path().string() + ":" + oldPath).c_str(), 1);
    std::optional<FileChooser> chooser = FileChooser::find();
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_TRUE(chooser);

    const FileChooser::Request request{"Open a document",
                                       {{"Documents", {"*.zcs"}}, {"Movies", {"*.zcd", "*.zcs"}}}};
    EXPECT_EQ(chooser->choose(request), std::filesystem::path("/movies/tour.zcs"));
    std::ifstream args(dir.path() / "args");
    std::vector<std::string> lines;
    for (std::string line; std::getline(args, line);)
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"--file-selection", "--title=Open a document",
                                               "--file-filter=Documents | *.zcs",
                                               "--file-filter=Movies | *.zcd *.zcs"}));
}

// A chooser still open when the player closes is ended rather than waited for.
TEST(ChildProgram, AStopAskedForEndsTheProgram) {
    TempDir dir;
    const std::filesystem::path started = dir.path() / "started";
    ASSERT_EQ(::mkfifo(started.c_str(), 0600), 0);
    std::stop_source stop;
    std::optional<std::string> output = "not run";
    std::jthread run([&] {
        output = runForOutput({"/bin/sh", "-c", "echo >\"$0\"; exec sleep 1000", started.string()},
                              stop.get_token());
    });
    // Opening the pipe waits for the program to open its end.
    std::ifstream(started).get();
    stop.request_stop();
    run.join();
    EXPECT_EQ(output, std::nullopt);
}

}  // namespace
}  // namespace lumenreel::test
