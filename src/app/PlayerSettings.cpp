#include "app/PlayerSettings.h"

#include <charconv>
#include <vector>

#include "app/VersionedText.h"

namespace lumenreel {
namespace {

using FitMode = CZCPlayerView::FitMode;

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The settings that are one of two words.
struct FlagKey {
    std::string_view key;
    std::string_view on;
    std::string_view off;
    bool PlayerSettings::*field;
};
constexpr FlagKey kFlags[] = {{"muted", "yes", "no", &PlayerSettings::muted},
                              {"loop", "on", "off", &PlayerSettings::loop},
                              {"fit", "on", "off", &PlayerSettings::fit}};
constexpr std::string_view kStretch = "stretch";
constexpr std::string_view kKeepAspect = "keep-aspect";

std::optional<int> volumeOf(std::string_view value) {
    int percent = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), percent);
    if (error != std::errc() || end != value.data() + value.size() || percent < 0 ||
        percent > 100 || percent % 5 != 0)
        return std::nullopt;
    return percent;
}

// Applies one "key = value" line; false when it is none.
bool applyLine(std::string_view line, PlayerSettings& settings) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));
    if (key == "volume") {
        const std::optional<int> percent = volumeOf(value);
        settings.volumePercent = percent.value_or(settings.volumePercent);
        return percent.has_value();
    }
    if (key == "fit-mode") {
        settings.fitMode = value == kStretch ? FitMode::Stretch : FitMode::KeepAspect;
        return value == kStretch || value == kKeepAspect;
    }
    for (const FlagKey& flag : kFlags) {
        if (key == flag.key && (value == flag.on || value == flag.off)) {
            settings.*flag.field = value == flag.on;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string settingsText(const PlayerSettings& settings) {
    std::vector<std::string> entries{"volume = " + std::to_string(settings.volumePercent)};
    for (const FlagKey& flag : kFlags)
        entries.push_back(std::string(flag.key) + " = " +
                          std::string(settings.*flag.field ? flag.on : flag.off));
    entries.push_back("fit-mode = " +
                      std::string(settings.fitMode == FitMode::Stretch ? kStretch : kKeepAspect));
    return versionedText(kSettingsHeader, entries);
}

std::optional<PlayerSettings> parseSettings(std::string_view text, std::string& problem) {
    const std::optional<std::vector<std::string>> entries =
        versionedEntries(text, kSettingsHeader, problem);
    if (!entries)
        return std::nullopt;
    PlayerSettings settings;
    for (const std::string& entry : *entries) {
        if (!applyLine(entry, settings)) {
            problem = "\"" + entry + "\" is no setting this player knows";
            return std::nullopt;
        }
    }
    return settings;
}

}  // namespace lumenreel
