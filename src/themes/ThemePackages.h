#pragma once

#include <optional>
#include <string>
#include <vector>

#include "themes/ThemeFiles.h"

namespace lumenreel {

// The stored form of one theme is a few short strings; more than this is no theme package.
inline constexpr std::uint64_t kMaxThemePackageBytes = 1024 * 1024;

// A theme package file of the start folder and the theme name it begins with.
struct ThemePackage {
    std::string path;
    std::string themeName;
};

// Every "*.thm" file of the start folder that begins with a theme name, in listing order; the
// others are described in refused, one line each.
std::vector<ThemePackage> listThemePackages(const ThemeFiles& files,
                                            std::vector<std::string>* refused = nullptr);

// The first package whose theme name is exactly name.
std::optional<ThemePackage> findThemePackage(const ThemeFiles& files, const std::string& name);

}  // namespace lumenreel
