#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/CommandLine.h"
#include "cli/AudioCommand.h"
#include "cli/BundleCommand.h"
#include "cli/CommandFailure.h"
#include "cli/ContainerCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/ExitCodes.h"
#include "cli/ExportCommand.h"
#include "cli/InfoCommand.h"
#include "cli/NearestCommand.h"
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
    lumenreel::cli::addExportCommand(app);
    lumenreel::cli::addConvertCommand(app);

    return lumenreel::runGuarded("lumenreel", [&app, argc, argv] {
        if (argc > 1 && lumenreel::cli::refuseUnknownCommand(app, argv[1]))
            return lumenreel::cli::kExitUsage;
        try {
            app.parse(argc, argv);
        } catch (const CLI::ParseError& error) {
            int code = app.exit(error);
            return code == 0 ? lumenreel::cli::kExitSuccess : lumenreel::cli::kExitUsage;
        } catch (const lumenreel::cli::CommandFailure& failure) {
            return failure.exitCode;
        }
        // Nothing asked for is a mistake: the help says what can be asked.
        if (app.get_subcommands().empty()) {
            std::fputs(app.help().c_str(), stdout);
            return lumenreel::cli::kExitUsage;
        }
        // Output that did not arrive (a full disk, a closed pipe) is no success.
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "lumenreel: standard output: %s\n", std::strerror(errno));
            return lumenreel::cli::kExitBadInput;
        }
        return lumenreel::cli::kExitSuccess;
    });
}
