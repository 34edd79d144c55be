// Packs the skin for the build: the lumenreel command's `container pack`, in a program that does
// not carry the skin itself (the lumenreel command does, so it cannot be the one to pack it).
#include <CLI/CLI.hpp>

#include "cli/CommandMain.h"
#include "cli/ContainerCommand.h"

int main(int argc, char** argv) {
    CLI::App app{"Pack a folder as a package", "lumenreel"};
    app.require_subcommand(0, 1);
    lumenreel::cli::addContainerCommand(app);
    return lumenreel::cli::runCommandLine(app, argc, argv, true);
}
