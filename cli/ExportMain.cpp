// lumenreel-export: the export command as a program of its own, run by `lumenreel export`. It alone
// links the video libraries, whose loading would otherwise slow down every other command.
#include <CLI/CLI.hpp>

#include "cli/CommandMain.h"
#include "cli/ExportCommand.h"

int main(int argc, char** argv) {
    CLI::App app{lumenreel::cli::kExportDescription, "lumenreel export"};
    lumenreel::cli::configureExportCommand(app);
    return lumenreel::cli::runCommandLine(app, argc, argv, false);
}
