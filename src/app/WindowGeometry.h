#pragma once

#include "player/ViewGeometry.h"

namespace lumenreel {

struct WindowPlacement {
    Rect rect;
    bool tooBig = false;  // the movie does not fit the area; the panel's Fit shows checked
};

// Where the main window goes for a movie of this preferred outer size: grown by the sizing
// border, clamped to the area and centred in it. The window system would not make it smaller
// than the minimum tracking size either, so it is grown to that (within the area) before centring.
// The border grows with the device scale, as the rest of the window does.
WindowPlacement fitWindowToMovie(Size preferredSize, const Rect& area, Size minimumSize = {},
                                 int scale = 1);

}  // namespace lumenreel
