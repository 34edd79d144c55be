#pragma once

#include <string>

namespace lumenreel::cli {

// Thrown by a command that cannot go on; main() turns it into the exit code, so every command
// unwinds normally (files closed, partial outputs cleaned up) instead of leaving through exit().
struct CommandFailure {
    int exitCode;
};

// Prints "lumenreel: SUBJECT: REASON" on stderr and ends the command with the exit code.
[[noreturn]] void failCommand(int exitCode, const std::string& subject, const std::string& reason);

}  // namespace lumenreel::cli
