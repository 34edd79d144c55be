#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/ExeResManipulator.h"

namespace lumenreel {

// Why no window can be opened here (no display to open it on), or nothing when one can be tried.
std::optional<std::string> missingDisplayReason();

// Runs the player in one borderless SDL window until it is closed; the exit code. The movie, when
// given, is opened at start in place of an embedded one.
int runPlayerWindow(const ProgramResources& resources,
                    const std::optional<std::filesystem::path>& movie);

}  // namespace lumenreel
