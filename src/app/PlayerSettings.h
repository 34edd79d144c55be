#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "player/PlayerView.h"

namespace lumenreel {

// What the user set last and finds again at the next start. Kept as text:
//
//     lumenreel-player settings 1
//     volume = 75
//     muted = no
//     loop = off
//     fit = off
//     fit-mode = keep-aspect
//
// A key left out keeps its default; "fit-mode = stretch" fills the area without keeping the
// movie's proportions.
struct PlayerSettings {
    int volumePercent = 100;  // in the volume keys' 5 % steps
    bool muted = false;
    // For movies opened from a file; a bundled demo always loops.
    bool loop = false;
    bool fit = false;
    CZCPlayerView::FitMode fitMode = CZCPlayerView::FitMode::KeepAspect;

    friend bool operator==(const PlayerSettings&, const PlayerSettings&) = default;
};

inline constexpr std::string_view kSettingsHeader = "lumenreel-player settings 1";

std::string settingsText(const PlayerSettings& settings);
// Nothing, with the reason, when any line is not one of the settings with a value it can hold.
std::optional<PlayerSettings> parseSettings(std::string_view text, std::string& problem);

}  // namespace lumenreel
