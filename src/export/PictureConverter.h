#pragma once

#include "base/Geometry.h"
#include "export/FfmpegHandles.h"

namespace lumenreel {

// Rows [first, end) of a picture that differ from the one before.
struct ChangedRows {
    int first = 0;
    int end = 0;
};

// Turns the renderer's BGR0 pictures into the writer's pixel form and size. At the movie's own
// size, a picture that differs from the one before only in a band of rows (a gliding cursor, a
// caption) has only that band converted, with a margin wider than the converter's filters and
// aligned to its dither pattern, and the rest copied from the picture before: the same pixels as
// a whole conversion, at a fraction of its cost.
class PictureConverter {
public:
    bool open(Size source, AVPixelFormat format, Size size);
    // Null when memory runs out. `changed` covers every row for the first picture.
    FramePtr convert(const std::uint8_t* rows, int pitch, ChangedRows changed);

private:
    FramePtr convertWhole(const std::uint8_t* rows, int pitch);
    FramePtr convertBand(const std::uint8_t* rows, int pitch, ChangedRows changed);

    Size m_source;
    Size m_size;
    AVPixelFormat m_format = AV_PIX_FMT_NONE;
    ScalerPtr m_whole;
    ScalerPtr m_band;
    FramePtr m_last;
};

}  // namespace lumenreel
