#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/ExeResManipulator.h"

namespace lumenreel {

// Why no window can be opened here (no display to open it on), or nothing when one can be tried.
std::optional<std::string> missingDisplayReason();

// Runs the player in one borderless SDL window until it is closed; the exit code. The movie, when
// given, is opened at start in place of an embedded one. The window is drawn at the device scale
// given, else at the one the environment and the display say (decideDeviceScale).
int runPlayerWindow(const ProgramResources& resources,
                    const std::optional<std::filesystem::path>& movie,
                    std::optional<int> scale = std::nullopt);

}  // namespace lumenreel
