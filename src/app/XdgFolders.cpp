#include "app/XdgFolders.h"

#include <cstdlib>

namespace lumenreel {
namespace {

// A relative path in the variable is invalid by the rules and ignored, as an unset one.
std::optional<std::filesystem::path> absoluteFrom(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value)
        return std::nullopt;
    std::filesystem::path path = value;
    if (!path.is_absolute())
        return std::nullopt;
    return path;
}

std::optional<std::filesystem::path> folder(const char* variable,
                                            const std::filesystem::path& underHome) {
    if (std::optional<std::filesystem::path> given = absoluteFrom(variable))
        return given;
    if (std::optional<std::filesystem::path> home = absoluteFrom("HOME"))
        return *home / underHome;
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> xdgConfigHome() {
    return folder("XDG_CONFIG_HOME", ".config");
}

std::optional<std::filesystem::path> xdgStateHome() {
    return folder("XDG_STATE_HOME", std::filesystem::path(".local") / "state");
}

}  // namespace lumenreel
