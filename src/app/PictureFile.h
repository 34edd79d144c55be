#pragma once

#include <filesystem>
#include <string>

class CImageExt;

namespace lumenreel {

// Writes the picture as an opaque PNG in place of the file; false with the reason when it could
// not (the old file, if any, is left as it was).
bool writePicturePng(const CImageExt& picture, const std::filesystem::path& output,
                     std::string& error);

// Where the moment t of a movie is saved: beside the movie, named after it and the time, for
// example "tour-01m05.250s.png".
std::filesystem::path momentPicturePath(const std::filesystem::path& movie, float t);

}  // namespace lumenreel
