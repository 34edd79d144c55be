#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "images/ImageExt.h"

namespace lumenreel::test {

// A w × h balloon template: a frame of key white around a light grey body.
CImageExt plainTemplate(int width, int height);
std::vector<std::uint8_t> pngBytes(const CImageExt& picture);
// A PNG that declares the size but holds no rows.
std::vector<std::uint8_t> pngHeaderOnly(std::uint32_t width, std::uint32_t height);

// One item set folder below root/BALLOONS: its name file, its areas file (none when areas is
// null) and its pictures (balloon0.png, ... in order; empty bytes: no file).
void writeItemSet(const std::filesystem::path& root, const std::string& folder,
                  const std::string& name, const char* areas,
                  const std::vector<std::vector<std::uint8_t>>& pictures);

// The seven lines of one template's areas.
std::string areasEntry(int sx, int sy, int left, int top, int right, int bottom);

}  // namespace lumenreel::test
