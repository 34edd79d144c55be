#pragma once

#include <filesystem>

#include "player/SkinPackage.h"

namespace lumenreel::test {

// The compiled-in default skin package, opened.
CSkinPackage& defaultSkinPackage();

// Copies every file of the package to the disk below folder, keeping its paths.
void extractPackage(CRBFileSystem& package, const std::filesystem::path& folder);

}  // namespace lumenreel::test
