#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel container list|cat|pack`: look into and make containers and packages.
void addContainerCommand(CLI::App& app);

}  // namespace lumenreel::cli
