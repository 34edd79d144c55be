// lumenreel-player: plays a Lumenreel movie in a skinned window, or draws that window into a
// picture without a display.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <optional>
#include <string>

#include "app/Bundle.h"
#include "app/CommandLine.h"
#include "app/DeviceScale.h"
#include "app/ExeResManipulator.h"
#include "app/PlayerDialog.h"
#include "app/SdlShell.h"
#include "app/Snapshot.h"
#include "player/SkinEmbedded.h"

namespace {

bool parseSize(const std::string& text, lumenreel::Size& size) {
    int width = 0, height = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &extra) != 2)
        return false;
    if (width < 1 || height < 1 || width > 16384 || height > 16384)
        return false;
    size = {width, height};
    return true;
}

// What the command line asked for.
struct PlayerOptions {
    std::string movie;
    std::string snapshot;
    float at = 0.0f;
    std::string size;
    bool fullScreen = false;
    std::optional<int> scale;
};

int run(const PlayerOptions& given) {
    lumenreel::ProgramResources resources;
    resources.addCompiledIn(CZephyrcastPlayerDlg::kSkinResource, lumenreel::embeddedSkinPackage());
    std::string problem;
    if (!lumenreel::readAppendedResources("/proc/self/exe", resources, problem))
        std::fprintf(stderr, "lumenreel-player: cannot read the program file for bundled movies\n");
    else if (!problem.empty())
        std::fprintf(stderr, "lumenreel-player: ignoring the bundled data: %s\n", problem.c_str());
    for (const std::string& dropped : lumenreel::dropUnusableBundledResources(resources))
        std::fprintf(stderr, "lumenreel-player: %s\n", dropped.c_str());

    std::optional<std::filesystem::path> moviePath;
    if (!given.movie.empty())
        moviePath = given.movie;

    if (given.snapshot.empty())
        return lumenreel::runPlayerWindow(resources, moviePath, given.scale);

    lumenreel::SnapshotOptions options;
    options.movie = moviePath;
    options.at = given.at;
    options.fullScreen = given.fullScreen;
    options.scale = given.scale.value_or(1);
    if (!given.size.empty()) {
        lumenreel::Size parsed;
        if (!parseSize(given.size, parsed)) {
            std::fprintf(stderr, "lumenreel-player: --size: expected WxH, got %s\n",
                         given.size.c_str());
            return 1;
        }
        options.size = parsed;
    }
    std::string error;
    if (!lumenreel::writeSnapshot(resources, options, given.snapshot, error)) {
        std::fprintf(stderr, "lumenreel-player: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Plays a Lumenreel movie (published demo or document)", "lumenreel-player"};
    PlayerOptions options;
    app.add_option("FILE", options.movie,
                   "movie to open (otherwise the one bundled with the player)");
    app.add_option(
        "--snapshot", options.snapshot,
        "draw the window into this PNG picture instead of opening it (no display needed)");
    app.add_option("--at", options.at, "movie time of the snapshot in seconds")
        ->check(lumenreel::finiteNumber(0));
    app.add_option("--size", options.size, "window size of the snapshot, WxH");
    app.add_flag("--fullscreen", options.fullScreen, "snapshot of the full-screen view");
    app.add_option("--scale", options.scale,
                   "device pixels a skin pixel, for HiDPI screens (the window: else "
                   "LUMENREEL_SCALE, GDK_SCALE, Xft.dpi / 96, QT_SCALE_FACTOR; a snapshot: else 1)")
        ->check(CLI::Range(1, lumenreel::kMaxDeviceScale));
    app.set_version_flag("--version", std::string("lumenreel-player ") + LUMENREEL_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 1;
    }
    return lumenreel::runGuarded("lumenreel-player", [&options] { return run(options); });
}
