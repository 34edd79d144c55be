#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumenreel {

// Runs a program (its path first, then its arguments; never through a shell) and collects what
// it writes on standard output. Nothing when it cannot be started or ends other than with 0.
// A stop asked for ends the program.
std::optional<std::string> runForOutput(std::vector<std::string> args, std::stop_token stop = {});

}  // namespace lumenreel
