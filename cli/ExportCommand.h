#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel export MOVIE -o OUT [--format mp4|webm|gif|png] ...`: the movie as a video file,
// an animated GIF or a PNG sequence.
void addExportCommand(CLI::App& app);

}  // namespace lumenreel::cli
