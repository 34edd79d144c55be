#include "cli/RenderCommand.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/ExitCodes.h"
#include "player/HeadlessMovie.h"

namespace lumenreel::cli {

[[noreturn]] void failMovie(const std::string& subject, const std::string& reason, int code) {
    std::fflush(stdout);
    std::fprintf(stderr, "lumenreel: %s: %s\n", subject.c_str(), reason.c_str());
    std::exit(code);
}

void openMovieOrExit(HeadlessMovie& movie, const std::string& path) {
    std::string reason;
    switch (movie.open(path, reason)) {
        case HeadlessMovie::OpenResult::ok:
            return;
        case HeadlessMovie::OpenResult::notFound:
            failMovie(path, reason, kExitNotFound);
        case HeadlessMovie::OpenResult::badInput:
            failMovie(path, reason, kExitBadInput);
    }
}

void writeMomentOrExit(HeadlessMovie& movie, float t, const std::string& output) {
    std::vector<std::uint8_t> png;
    if (!movie.renderPng(t, png))
        failMovie(output, "nothing to render", kExitBadInput);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out.flush())
        failMovie(output, "cannot write the file", kExitBadInput);
}

namespace {

struct RenderOptions {
    std::string path;
    float time = 0;
    std::string output;
};

void runRender(const RenderOptions& options) {
    HeadlessMovie movie;
    openMovieOrExit(movie, options.path);
    writeMomentOrExit(movie, options.time, options.output);
}

}  // namespace

void addRenderCommand(CLI::App& app) {
    auto options = std::make_shared<RenderOptions>();
    CLI::App* command =
        app.add_subcommand("render", "Write the moment T of a published demo as a PNG picture");
    command->add_option("FILE", options->path, "published demo file")->required();
    command->add_option("--time", options->time, "movie time in seconds")
        ->required()
        ->check(CLI::NonNegativeNumber);
    command->add_option("--output", options->output, "PNG file to write")->required();
    command->callback([options] { runRender(*options); });
}

}  // namespace lumenreel::cli
