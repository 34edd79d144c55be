#include "cli/RenderCommand.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "cli/CaptionThemes.h"
#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"
#include "player/HeadlessMovie.h"

namespace lumenreel::cli {

void openMovieOrExit(HeadlessMovie& movie, const std::string& path) {
    std::string reason;
    switch (movie.open(path, reason)) {
        case HeadlessMovie::OpenResult::ok:
            return;
        case HeadlessMovie::OpenResult::notFound:
        case HeadlessMovie::OpenResult::badInput:
            failCommand(kExitBadInput, path, reason);
    }
}

void writeMomentOrExit(HeadlessMovie& movie, float t, const std::string& output) {
    std::vector<std::uint8_t> png;
    if (!movie.renderPng(t, png))
        failCommand(kExitBadInput, output, "nothing to render");
    writeOutputOrExit(output, png);
}

namespace {

struct RenderOptions {
    std::string path;
    float time = 0;
    std::string output;
};

void runRender(const RenderOptions& options) {
    HeadlessMovie movie(captionThemes());
    openMovieOrExit(movie, options.path);
    writeMomentOrExit(movie, options.time, options.output);
}

}  // namespace

void addRenderCommand(CLI::App& app) {
    auto options = std::make_shared<RenderOptions>();
    CLI::App* command = app.add_subcommand(
        "render", "Write the moment T of a published demo or a document as a PNG picture");
    command->add_option("FILE", options->path, "published demo or document file")->required();
    command->add_option("--time", options->time, "movie time, seconds or m:ss")
        ->required()
        ->transform(movieTime());
    command
        ->add_option("-o,--output", options->output, "PNG file to write, or - for standard output")
        ->required();
    command->callback([options] { runRender(*options); });
}

}  // namespace lumenreel::cli
