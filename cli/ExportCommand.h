#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

inline constexpr const char* kExportDescription =
    "Write a movie as MP4 or WebM video with its sound, an animated GIF, or PNG pictures";

// `lumenreel export MOVIE -o OUT [--format mp4|webm|gif|png] ...`: the movie as a video file,
// an animated GIF or a PNG sequence; the options and the run of the command (or program) given.
void configureExportCommand(CLI::App& command);

}  // namespace lumenreel::cli
