#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// Parses and runs a command line of the lumenreel command: a mistake in it is exit 1 (nothing
// asked for, where a subcommand is needed, prints the help), a failed command its own code, and
// output that did not arrive (a full disk, a closed pipe) exit 2.
int runCommandLine(CLI::App& app, int argc, char** argv, bool subcommandNeeded);

}  // namespace lumenreel::cli
