#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumenreel {

class ProgramResources;

// A self-running demo: the player program with the movie (and optionally a skin package that
// replaces the compiled-in one) appended as resources. A trailer the program already carries
// is replaced, not stacked.
bool makeBundle(std::span<const std::uint8_t> player, std::span<const std::uint8_t> movie,
                std::optional<std::span<const std::uint8_t>> skin, std::vector<std::uint8_t>& out,
                std::string& reason);

// Whether the bytes are a skin package the player can read.
bool isSkinPackage(std::span<const std::uint8_t> bytes);

// Drops what a bundle carries that the player cannot use, so it runs on what it can: a skin
// that is not a package (the compiled-in skin is used), and a document beside a published demo
// (the demo plays). Says what was dropped, one line each.
std::vector<std::string> dropUnusableBundledResources(ProgramResources& resources);

}  // namespace lumenreel
