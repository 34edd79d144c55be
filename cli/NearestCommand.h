#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace lumenreel::cli {

// When the first word is neither an option nor a command, says so on stderr with the command
// nearest in spelling ("did you mean render?") and returns true.
bool refuseUnknownCommand(const CLI::App& app, const std::string& word);

}  // namespace lumenreel::cli
