#pragma once

#include <cstdint>
#include <span>

namespace lumenreel {

// The default skin package compiled into the programs (resource 633). Defined by the
// lumenreel_skinpackage library, which the build makes from assets/skin.
std::span<const std::uint8_t> embeddedSkinPackage();

}  // namespace lumenreel
