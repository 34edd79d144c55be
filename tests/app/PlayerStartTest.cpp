#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

// Without a display to show it on, the player says why and stops instead of playing unseen. The
// time limit only keeps a broken player from holding up the suite.
TEST(PlayerStartTest, WithoutAReachableDisplayThePlayerSaysWhyAndExits) {
    struct Case {
        std::string environment;
        std::string reason;
    };
    const Case cases[] = {
        {"env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", "no display to open a window on"},
        {"env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:7391",
         "cannot reach the display :7391"},
    };
    const std::string player = shellQuote((binaryDir() / "lumenreel-player").string());
    const std::string tour = shellQuote((binaryDir() / "tour.zcd").string());
    for (const Case& c : cases) {
        const CommandResult result =
            runCommand(c.environment + " timeout 60 " + player + " " + tour);
        EXPECT_EQ(result.exitCode, 1) << c.environment << "\n" << result.err;
        EXPECT_NE(result.err.find("lumenreel-player: " + c.reason), std::string::npos)
            << result.err;
    }
}

}  // namespace
}  // namespace lumenreel::test
