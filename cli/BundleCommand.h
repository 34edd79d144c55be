#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel bundle MOVIE --output EXE [--skin PACKAGE] [--player PROGRAM]`: a self-running demo.
void addBundleCommand(CLI::App& app);

}  // namespace lumenreel::cli
