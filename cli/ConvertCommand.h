#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel convert FILE --output OUT.zcs`: an authoring document of either storage form
// written in the current one.
void addConvertCommand(CLI::App& app);

}  // namespace lumenreel::cli
