#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace lumenreel {
class HeadlessMovie;
}

namespace lumenreel::cli {

// `lumenreel render FILE --time T --output OUT.png`: one moment of a demo or a document.
void addRenderCommand(CLI::App& app);
// `lumenreel frames FILE --fps N --output-dir DIR [--from T] [--to T]`: a numbered sequence.
void addFramesCommand(CLI::App& app);

// Shared by the movie commands: open a published demo or a document or fail the command; write the
// moment t as a PNG file or fail.
void openMovieOrExit(HeadlessMovie& movie, const std::string& path);
void writeMomentOrExit(HeadlessMovie& movie, float t, const std::string& output);

}  // namespace lumenreel::cli
