#include "cli/CommandMain.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/CommandLine.h"
#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"
#include "cli/NearestCommand.h"

namespace lumenreel::cli {

int runCommandLine(CLI::App& app, int argc, char** argv, bool subcommandNeeded) {
    return runGuarded("lumenreel", [&app, argc, argv, subcommandNeeded] {
        if (subcommandNeeded && argc > 1 && refuseUnknownCommand(app, argv[1]))
            return kExitUsage;
        try {
            app.parse(argc, argv);
        } catch (const CLI::ParseError& error) {
            int code = app.exit(error);
            return code == 0 ? kExitSuccess : kExitUsage;
        } catch (const CommandFailure& failure) {
            return failure.exitCode;
        }
        // Nothing asked for is a mistake: the help says what can be asked.
        if (subcommandNeeded && app.get_subcommands().empty()) {
            std::fputs(app.help().c_str(), stdout);
            return kExitUsage;
        }
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "lumenreel: standard output: %s\n", std::strerror(errno));
            return kExitBadInput;
        }
        return kExitSuccess;
    });
}

}  // namespace lumenreel::cli
