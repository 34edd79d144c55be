#pragma once

#include <filesystem>
#include <optional>

namespace lumenreel {

// The user's folders for settings and for state kept between runs, by the XDG base directory
// rules: the variable when it holds an absolute path, else ~/.config or ~/.local/state; nothing
// when neither the variable nor HOME gives one.
std::optional<std::filesystem::path> xdgConfigHome();
std::optional<std::filesystem::path> xdgStateHome();

}  // namespace lumenreel
