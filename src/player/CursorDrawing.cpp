#include "player/CursorDrawing.h"

#include <algorithm>

namespace lumenreel {

namespace {

enum class RasterOp { And, Xor };

// Applies rows [firstRow, firstRow + height) of the source at (x, y) of the target.
void apply(const CImageExt& source, int firstRow, int height, CImageExt& target, int x, int y,
           RasterOp op) {
    PixelView from = source.view();
    PixelView to = target.view();
    int left = std::max(0, -x), top = std::max(0, -y);
    int right = std::min(from.width, to.width - x), bottom = std::min(height, to.height - y);
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* s = from.row(firstRow + row) + left * from.bytesPerPixel;
        std::uint8_t* d = to.row(y + row) + (x + left) * 4;
        for (int col = left; col < right; ++col, s += from.bytesPerPixel, d += 4) {
            for (int c = 0; c < 3; ++c)
                d[c] = op == RasterOp::And ? d[c] & s[c] : d[c] ^ s[c];
        }
    }
}

}  // namespace

void drawCursor(const NKWXDecodersEncoders::CReaderObject_cursor& cursor, CImageExt& target, int x,
                int y) {
    if (target.bpp() != 32)
        return;
    const CImageExt& mask = cursor.mask;
    const CImageExt& colour = cursor.colour;
    if (!colour.isNull()) {
        if (!mask.isNull())
            apply(mask, 0, mask.height(), target, x, y, RasterOp::And);
        apply(colour, 0, colour.height(), target, x, y, RasterOp::Xor);
        return;
    }
    if (mask.isNull())
        return;
    int half = mask.height() / 2;
    apply(mask, 0, half, target, x, y, RasterOp::And);
    apply(mask, half, half, target, x, y, RasterOp::Xor);
}

}  // namespace lumenreel
