#pragma once

#include <vector>

#include "base/Geometry.h"
#include "images/ImageExt.h"

namespace lumenreel {

// What changed in a picture from one look to the next, found by comparing it with a copy of the
// picture as last seen. Changes come as bands of rows, each narrowed to the columns that changed
// in it, bands that touch and overlap merged: a moving cursor is one or two small parts.
class FrameChanges {
public:
    // The parts of picture that differ from the last look; the whole picture at the first look
    // or after its size changed. The copy is brought up to date.
    std::vector<Rect> Look(const CImageExt& picture);
    // The next look reports the whole picture.
    void Forget() { m_seen.destroy(); }

private:
    CImageExt m_seen;
};

}  // namespace lumenreel
