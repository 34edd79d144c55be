#include "cli/ExportForwarding.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"
#include "cli/ExportCommand.h"
#include "cli/SiblingProgram.h"

namespace lumenreel::cli {

void addExportForwarding(CLI::App& app) {
    CLI::App* command = app.add_subcommand("export", kExportDescription);
    command->set_help_flag();
    command->prefix_command();
    command->callback([command] {
        const std::string program = siblingProgram("lumenreel-export").string();
        std::vector<std::string> words = command->remaining();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        std::fflush(stdout);
        execv(program.c_str(), argv.data());
        failCommand(kExitBadInput, program, std::string("cannot run it: ") + std::strerror(errno));
    });
}

}  // namespace lumenreel::cli
