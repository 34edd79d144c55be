#include "cli/BundleCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Bundle.h"
#include "app/ResourceTrailer.h"
#include "base/FileBytes.h"
#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"
#include "cli/PortableBundle.h"
#include "cli/RenderCommand.h"
#include "cli/SiblingProgram.h"
#include "published/LoadLimits.h"

namespace lumenreel::cli {
namespace {

struct BundleOptions {
    std::string movie;
    std::string output;
    std::string skin;
    std::string player;
    bool portable = false;
};

// A player program: its code (1 GiB is far beyond any build) and the old trailer it may carry,
// which the bundle replaces.
constexpr std::uint64_t kMaxPlayerProgramBytes =
    (std::uint64_t{1} << 30) + trailer::kMaxAppendedBytes;

std::vector<std::uint8_t> readOrExit(const std::string& path, std::uint64_t limit) {
    FileBytes file = readFileBytes(path, limit);
    if (!file.ok())
        failCommand(kExitBadInput, path, file.error);
    return std::move(file.bytes);
}

std::string defaultPlayer() {
    return siblingProgram("lumenreel-player").string();
}

// Written beside the output and renamed over it, as installers do: a copy of the old program
// that is running keeps running (its file cannot be opened for writing), and a failed write
// leaves no half program behind.
void writeProgram(const std::string& output, const std::vector<std::uint8_t>& bytes) {
    writeOutputOrExit(output, bytes, 0755);
}

void runBundle(const BundleOptions& options) {
    const std::string playerPath = options.player.empty() ? defaultPlayer() : options.player;
    const std::vector<std::uint8_t> player = readOrExit(playerPath, kMaxPlayerProgramBytes);
    const std::vector<std::uint8_t> movie = readOrExit(options.movie, kMaxMovieFileBytes);
    std::vector<std::uint8_t> skinBytes;
    std::optional<std::span<const std::uint8_t>> skin;
    if (!options.skin.empty()) {
        skinBytes = readOrExit(options.skin, trailer::kMaxAppendedBytes);
        skin = skinBytes;
    }
    std::vector<std::uint8_t> bundle;
    std::string reason;
    if (!makeBundle(player, movie, skin, bundle, reason))
        failCommand(kExitBadInput,
                    reason.find("skin") != std::string::npos ? options.skin : options.movie,
                    reason);
    if (options.portable) {
        std::vector<LoadedLibrary> libraries;
        std::vector<std::uint8_t> portable;
        if (!portableLibraries(playerPath, libraries, reason) ||
            !makePortableBundle(bundle, libraries, portable, reason))
            failCommand(kExitBadInput, playerPath, reason);
        bundle = std::move(portable);
    }
    writeProgram(options.output, bundle);
}

}  // namespace

void addBundleCommand(CLI::App& app) {
    auto options = std::make_shared<BundleOptions>();
    CLI::App* command = app.add_subcommand(
        "bundle", "Make a self-running demo: the player program carrying the movie");
    command->add_option("MOVIE", options->movie, "published demo (.zcd) or document (.zcs)")
        ->required();
    command
        ->add_option("-o,--output", options->output, "program to write, or - for standard output")
        ->required();
    command->add_option("--skin", options->skin, "skin package to use instead of the default");
    command->add_option("--player", options->player,
                        "player program to copy (default: lumenreel-player beside lumenreel)");
    command->add_flag("--portable", options->portable,
                      "carry the player's libraries too (all but the C library and the window, "
                      "graphics and sound system's), for machines without them");
    command->callback([options] { runBundle(*options); });
}

}  // namespace lumenreel::cli
