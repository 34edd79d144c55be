#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CImageExt;

namespace lumenreel::zcd {

struct PictureStreamOptions {
    enum class PixelForm { automatic, bgr24, palette };

    int keyInterval = 30;
    // automatic: the palette form when all pictures together use 256 colours or fewer.
    PixelForm pixelForm = PixelForm::automatic;
    bool reuseTiles = true;       // identical tiles stored once and placed again
    bool detectScrolling = true;  // vertically moved regions copied from the previous picture
    int blockSize = 16;
};

struct PictureStreamStats {
    int bitsPerPixel = 0;
    int fullPictures = 0;
    int smallTiles = 0;
    int largeTiles = 0;
    int listA = 0;
    int listB = 0;
    int listC = 0;
};

// Encodes pictures of one size (24 or 32 bits; alpha is dropped) as a picture stream. Fails with
// a reason on pictures of different sizes, too many pictures, or a palette that cannot hold them.
std::optional<std::vector<std::uint8_t>> encodePictureStream(
    std::span<const CImageExt* const> pictures, const PictureStreamOptions& options,
    std::string& error, PictureStreamStats* stats = nullptr);

}  // namespace lumenreel::zcd
