#include "cli/ExportCommand.h"

#include <memory>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "cli/CaptionThemes.h"
#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"
#include "cli/ExportProgressView.h"
#include "cli/RenderCommand.h"
#include "cli/StopSignal.h"
#include "export/MovieExport.h"
#include "player/HeadlessMovie.h"

namespace lumenreel::cli {
namespace {

struct ExportOptions {
    std::string path;
    std::string output;
    std::string format;
    ExportSettings settings;
    std::string size;
    std::optional<double> scale;
    std::optional<double> to;
    bool noSound = false;
    bool quiet = false;
    std::string progress = "bar";
    bool overwrite = false;
};

// Standard output takes one video file as it is made, in the format --format names.
ExportFormat standardOutputFormat(const ExportOptions& options) {
    if (options.format.empty())
        failCommand(kExitUsage, options.output,
                    "standard output has no name to tell the format by: give --format mp4, "
                    "webm or gif");
    const ExportFormat asked = *exportFormatNamed(options.format);
    if (asked == ExportFormat::png)
        failCommand(kExitUsage, options.output,
                    "PNG pictures go into a folder, which standard output cannot hold");
    if (options.progress == "json" && !options.quiet)
        failCommand(kExitUsage, options.output,
                    "--progress json writes on standard output, which the video takes");
    return asked;
}

// The format asked for and the one the name implies must agree; a name without an extension
// takes the format given.
ExportFormat resolveFormat(const ExportOptions& options) {
    if (namesStandardOutput(options.output))
        return standardOutputFormat(options);
    const std::filesystem::path name(options.output);
    const std::optional<ExportFormat> named = exportFormatOfName(name);
    if (options.format.empty()) {
        if (!named)
            failCommand(kExitUsage, options.output,
                        "cannot tell the format from the name: end it in .mp4, .webm or .gif, "
                        "name a folder for PNG pictures, or give --format");
        return *named;
    }
    const ExportFormat asked = *exportFormatNamed(options.format);
    if (!name.extension().empty() && named != asked)
        failCommand(kExitUsage, options.output,
                    "the name does not fit --format " + options.format + " (" +
                        (asked == ExportFormat::png ? std::string("PNG pictures go into a folder")
                                                    : "use a name ending in ." + options.format) +
                        ")");
    return asked;
}

std::optional<Size> parseSize(const std::string& text) {
    int width = 0;
    int height = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) != 2 || width < 2 ||
        height < 2)
        return std::nullopt;
    return Size{width, height};
}

void run(ExportOptions& options) {
    ExportSettings& settings = options.settings;
    settings.format = resolveFormat(options);
    settings.to = options.to;
    settings.sound = !options.noSound;
    if (!options.size.empty()) {
        settings.size = parseSize(options.size);
        if (!settings.size)
            failCommand(kExitUsage, options.size,
                        "expected a size as WIDTHxHEIGHT in pixels, such as 1280x720");
    }
    if (options.scale)
        settings.scale = *options.scale;
    if (settings.to && *settings.to <= settings.from)
        failCommand(kExitUsage, options.path, "--to must come after --from");

    HeadlessMovie movie(captionThemes());
    openMovieOrExit(movie, options.path);
    ExportProgressView view(options.quiet                ? ExportProgressView::Kind::none
                            : options.progress == "json" ? ExportProgressView::Kind::json
                            : options.progress == "none" ? ExportProgressView::Kind::none
                                                         : ExportProgressView::Kind::bar);
    const std::atomic<bool>& stop = stopOnSignals();
    const ExportResult result =
        exportMovie(movie.source(), settings, options.output, options.overwrite, stop,
                    [&view](const ExportProgress& progress) { view.update(progress); });
    if (result.stopped)
        failCommand(kExitInterrupted, options.output, "stopped; nothing was written");
    if (!result.ok)
        failCommand(kExitBadInput, options.output, result.error);
    view.summarize(result, namesStandardOutput(options.output) ? "standard output" : options.output,
                   exportFormatName(settings.format));
}

}  // namespace

void configureExportCommand(CLI::App& app) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = &app;
    command->add_option("MOVIE", options->path, "published demo or document file")->required();
    command
        ->add_option("-o,--output", options->output,
                     "file to write (.mp4, .webm, .gif), a folder for PNG pictures, or - for "
                     "standard output (with --format mp4, webm or gif)")
        ->required();
    command
        ->add_option("--format", options->format, "mp4, webm, gif or png (default: from the name)")
        ->check(CLI::IsMember({"mp4", "webm", "gif", "png"}));
    command
        ->add_option("--fps", options->settings.fps,
                     "pictures per second where the movie moves (default 25)")
        ->check(finiteNumber(1, 120));
    CLI::Option* size = command->add_option("--size", options->size,
                                            "picture size WIDTHxHEIGHT (default: the movie's)");
    command->add_option("--scale", options->scale, "picture size as a factor of the movie's")
        ->check(finiteNumber(0.05, 8))
        ->excludes(size);
    command->add_option("--from", options->settings.from, "start time, seconds or m:ss (default 0)")
        ->transform(movieTime());
    command->add_option("--to", options->to, "end time, seconds or m:ss (default: the end)")
        ->transform(movieTime());
    command
        ->add_option("--quality", options->settings.quality,
                     "1 (smallest) to 100 (best) for MP4 and WebM (default 80)")
        ->check(CLI::Range(1, 100));
    command->add_flag("--lossless", options->settings.lossless,
                      "every pixel exactly as drawn (RGB; larger files, fewer players)");
    command->add_flag("--full-chroma", options->settings.fullChroma,
                      "colour at full resolution (4:4:4) for small coloured text");
    command->add_flag("--no-audio", options->noSound, "leave the sound out");
    command->add_flag("--overwrite", options->overwrite,
                      "replace a PNG folder that already holds pictures");
    command->add_flag("-q,--quiet", options->quiet, "print nothing but errors");
    command
        ->add_option("--progress", options->progress,
                     "bar (on a terminal), json (one line per update on stdout) or none")
        ->check(CLI::IsMember({"bar", "json", "none"}));
    command->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
