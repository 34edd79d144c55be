#pragma once

#include <cstdint>
#include <vector>

#include "images/ImageExt.h"

// The tour's own artwork besides the screens: caption balloons, the logo and the pointer.
namespace lumenreel::tour {

// Which corner of the balloon its tail leaves from.
enum class Tail { upLeft, upRight, downLeft, downRight };

struct BalloonShape {
    int width = 0, height = 0;
    int splitX = 0, splitY = 0;
    int tipX = 0, tipY = 0;  // the tail's point in the template picture
    int tailHeight = 0;
};

BalloonShape balloonShape(Tail tail);
// The template picture: a rounded balloon on pure white, which the player keys out.
CImageExt balloonTemplate(Tail tail);
// The tour's logo badge.
CImageExt logoPicture();
// An arrow pointer as the AND mask and XOR colour pictures a cursor is stored with.
void pointerPictures(CImageExt& mask, CImageExt& colour);

std::vector<std::uint8_t> pngBytes(const CImageExt& picture);

}  // namespace lumenreel::tour
