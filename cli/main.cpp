#include <CLI/CLI.hpp>

#include <string>

#include "cli/AudioCommand.h"
#include "cli/BundleCommand.h"
#include "cli/CommandMain.h"
#include "cli/ContainerCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/ExportForwarding.h"
#include "cli/InfoCommand.h"
#include "cli/RenderCommand.h"

int main(int argc, char** argv) {
    CLI::App app{"lumenreel: inspect, render and convert Lumenreel demo movies", "lumenreel"};
    app.set_version_flag("--version", std::string("lumenreel ") + LUMENREEL_VERSION);
    app.require_subcommand(0, 1);
    lumenreel::cli::addContainerCommand(app);
    lumenreel::cli::addRenderCommand(app);
    lumenreel::cli::addFramesCommand(app);
    lumenreel::cli::addInfoCommand(app);
    lumenreel::cli::addBundleCommand(app);
    lumenreel::cli::addAudioCommand(app);
    lumenreel::cli::addExportForwarding(app);
    lumenreel::cli::addConvertCommand(app);
    return lumenreel::cli::runCommandLine(app, argc, argv, true);
}
