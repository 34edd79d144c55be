#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"

class CImageExt;
class CRBFileSystem;

namespace lumenreel {

// Every skin file but the texts lives below this folder, in a package and on disk alike.
inline constexpr const char* kSkinFolder = "Player Skin\\";
inline constexpr const char* kSkinConfigFile = "skin_config.txt";

// Where a skin's files come from: the package when there is one, else the disk, where the names
// are taken relative to diskBase (the working directory when empty) with "\" read as "/".
// Pictures are read for `scale` device pixels a skin pixel: from the folder "2x" (or "3x", ...)
// below the skin folder where the skin has one, else enlarged from the 1x picture pixel by pixel.
struct SkinSource {
    CRBFileSystem* package = nullptr;
    std::filesystem::path diskBase;
    int scale = 1;
};

// Where a skin drawn for that scale keeps the named picture: "Player Skin\2x\play_n.png".
std::string scaledSkinName(const std::string& name, int scale);

// The bytes of a skin file, or nothing when it is absent or unreadable.
std::optional<std::vector<std::uint8_t>> readSkinFile(const std::string& name,
                                                      const SkinSource& source);

// The panel's placement values in panel pixels: boxes by their top-left corner and size.
struct SkinLayout {
    Box play{8, 13, 28, 27};
    Box stop{65, 13, 28, 27};
    Box pause{36, 13, 28, 27};
    Box rew{94, 13, 28, 27};
    Box fwd{123, 13, 28, 27};
    Box loop{280, 15, 28, 27};
    Box fit{308, 15, 28, 27};
    Point startPointer{7, 3};
    Box slider{7, 3, 358, 10};
    Box textArea{156, 22, 126, 16};
    Box record{0, 0, 0, 0};
    Box fullscreen{336, 15, 28, 27};
    friend bool operator==(const SkinLayout&, const SkinLayout&) = default;
};

}  // namespace lumenreel

namespace lumenreel {
// The layout from the bytes of a "skin_config.txt" in either form.
SkinLayout parseSkinLayout(std::span<const std::uint8_t> bytes, bool xml);
// Every position and size of the layout times the scale.
SkinLayout scaledLayout(const SkinLayout& layout, int scale);
}  // namespace lumenreel

// Decodes the named skin picture at the source's scale into the image; a missing or undecodable
// file leaves it null.
bool LoadSkinImage(CImageExt& image, const std::string& name, const lumenreel::SkinSource& source);

// The layout from the skin folder's "skin_config.txt": XML in a package, one number a line on
// disk. Values the file lacks keep the default skin's.
lumenreel::SkinLayout ReadLayout(const lumenreel::SkinSource& source);
