#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel info FILE [--json]`: what a published demo holds.
void addInfoCommand(CLI::App& app);

}  // namespace lumenreel::cli
