#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel export ...`: hands the rest of the command line, help included, to lumenreel-export
// beside this program.
void addExportForwarding(CLI::App& app);

}  // namespace lumenreel::cli
