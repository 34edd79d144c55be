#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "cli/AudioCommand.h"
#include "cli/BundleCommand.h"
#include "cli/CommandFailure.h"
#include "cli/ContainerCommand.h"
#include "cli/ExitCodes.h"
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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int code = app.exit(error);
        return code == 0 ? lumenreel::cli::kExitSuccess : lumenreel::cli::kExitUsage;
    } catch (const lumenreel::cli::CommandFailure& failure) {
        return failure.exitCode;
    }
    if (app.get_subcommands().empty()) {
        std::fputs(app.help().c_str(), stdout);
    }
    return lumenreel::cli::kExitSuccess;
}
