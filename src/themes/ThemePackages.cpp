#include "themes/ThemePackages.h"

#include <algorithm>

#include "base/ArchiveString.h"
#include "base/ByteReader.h"

namespace lumenreel {

namespace {

bool isPackageName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.size() > 4 && name.ends_with(".thm");
}

}  // namespace

std::vector<ThemePackage> listThemePackages(const ThemeFiles& files,
                                            std::vector<std::string>* refused) {
    std::vector<ThemePackage> packages;
    for (const ThemeEntry& entry : files.list("")) {
        if (entry.folder || !isPackageName(entry.name))
            continue;
        std::string why;
        const auto bytes = files.read(entry.name, kMaxThemePackageBytes, why);
        std::optional<std::string> name;
        if (bytes) {
            ByteReader reader(*bytes);
            name = readArchiveString(reader);
            if (!name)
                why = "does not begin with a theme name";
        }
        if (name)
            packages.push_back({entry.name, std::move(*name)});
        else if (refused)
            refused->push_back(entry.name + ": " + why);
    }
    return packages;
}

std::optional<ThemePackage> findThemePackage(const ThemeFiles& files, const std::string& name) {
    for (ThemePackage& package : listThemePackages(files))
        if (package.themeName == name)
            return std::move(package);
    return std::nullopt;
}

}  // namespace lumenreel
