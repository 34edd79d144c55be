#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace lumenreel {

// The two kinds of movie the player plays: a published demo and an authoring document.
enum class MovieKind { ZCD, ZCS };

// The kind the bytes' opening identifier names; nothing for anything else.
std::optional<MovieKind> movieKindOf(std::span<const std::uint8_t> bytes);

}  // namespace lumenreel
