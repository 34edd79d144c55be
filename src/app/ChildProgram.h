#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumenreel {

// Runs a program (its path first, then its arguments; never through a shell) and collects what
// it writes on standard output. Nothing when it cannot be started or ends other than with 0.
std::optional<std::string> runForOutput(std::vector<std::string> args);

}  // namespace lumenreel
