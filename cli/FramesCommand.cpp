#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "cli/CaptionThemes.h"
#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"
#include "cli/RenderCommand.h"
#include "export/ExportMoments.h"
#include "player/HeadlessMovie.h"

namespace lumenreel::cli {

namespace {

struct FramesOptions {
    std::string path;
    double fps = 25;
    std::string outputDir;
    float from = 0;
    std::optional<float> to;
    bool overwrite = false;
};

// A one-line bar on stderr, redrawn in place; only on a terminal.
class ProgressBar {
public:
    explicit ProgressBar(long total) : m_total(total), m_shown(isatty(STDERR_FILENO) != 0) {}
    void update(long done) {
        if (!m_shown || m_total <= 0)
            return;
        constexpr int kWidth = 40;
        int filled = static_cast<int>(kWidth * done / m_total);
        std::fprintf(stderr, "\r[%s%s] %ld/%ld", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, ' ').c_str(), done, m_total);
        if (done == m_total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    long m_total;
    bool m_shown;
};

// A picture named like ours: a second run into the folder would mix its frames with these.
bool holdsFrames(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame_") && name.ends_with(".png"))
            return true;
    }
    return false;
}

void runFrames(const FramesOptions& options) {
    if (namesStandardOutput(options.outputDir))
        failCommand(kExitUsage, options.outputDir,
                    "the pictures go into a folder; `lumenreel render --output -` writes one "
                    "moment to standard output");
    HeadlessMovie movie(captionThemes());
    openMovieOrExit(movie, options.path);
    // Past the end every moment would be the last one again.
    const float to = std::min(options.to.value_or(movie.duration()), movie.duration());
    if (to < options.from)
        failCommand(kExitUsage, options.path, "--to is before --from");
    std::error_code error;
    std::filesystem::create_directories(options.outputDir, error);
    if (error)
        failCommand(kExitBadInput, options.outputDir, error.message());
    if (!options.overwrite && holdsFrames(options.outputDir))
        failCommand(kExitUsage, options.outputDir,
                    "the folder holds earlier frames (--overwrite replaces them)");

    // The moments k / fps of the movie's clock from `from` to `to`, each named by its k, so runs
    // with different --from line up in one folder. Counted in whole steps so no rounding of a
    // running sum adds or drops the last one.
    const long first = firstGridStep(options.from, options.fps);
    const long last = static_cast<long>(std::floor(to * options.fps + kSameMoment));
    if (last < first)
        failCommand(kExitUsage, options.path,
                    "no moment k / fps lies between --from and --to (a higher --fps gives some)");
    ProgressBar progress(last - first + 1);
    for (long k = first; k <= last; ++k) {
        const float t = static_cast<float>(static_cast<double>(k) / options.fps);
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06ld.png", k);
        writeMomentOrExit(movie, t, (std::filesystem::path(options.outputDir) / name).string());
        progress.update(k - first + 1);
    }
}

}  // namespace

void addFramesCommand(CLI::App& app) {
    auto options = std::make_shared<FramesOptions>();
    CLI::App* command = app.add_subcommand(
        "frames",
        "Write a published demo or a document as PNG pictures, one at each moment k / fps, named "
        "by k (frame_000000.png, ...)");
    command->add_option("FILE", options->path, "published demo or document file")->required();
    command->add_option("--fps", options->fps, "pictures per second of movie time")
        ->required()
        ->check(finiteNumber(0.001, 1000.0));
    command->add_option("-o,--output,--output-dir", options->outputDir, "folder for the pictures")
        ->required();
    command->add_option("--from", options->from, "first moment, seconds or m:ss (default 0)")
        ->transform(movieTime());
    command->add_option("--to", options->to, "last moment, seconds or m:ss (default: the end)")
        ->transform(movieTime());
    command->add_flag("--overwrite", options->overwrite,
                      "write into a folder that holds earlier frames, replacing those of the "
                      "same moments");
    command->callback([options] { runFrames(*options); });
}

}  // namespace lumenreel::cli
