#include "app/PictureFile.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "base/ReplacingFile.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"

namespace lumenreel {

bool writePicturePng(const CImageExt& picture, const std::filesystem::path& output,
                     std::string& error) {
    CImageExt opaque;
    std::vector<std::uint8_t> png;
    if (!opaque.from24(picture, false) || !encodePng(opaque, png)) {
        error = "cannot encode the picture";
        return false;
    }
    std::string reason;
    if (!replaceFile(output, png, reason)) {
        error = output.string() + ": " + reason;
        return false;
    }
    return true;
}

std::filesystem::path momentPicturePath(const std::filesystem::path& movie, float t) {
    const long long ms = std::llround(std::isfinite(t) && t > 0 ? t * 1000.0 : 0.0);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "-%02lldm%02lld.%03llds.png", ms / 60000, ms / 1000 % 60,
                  ms % 1000);
    return movie.parent_path() / (movie.stem().string() + stamp);
}

}  // namespace lumenreel
