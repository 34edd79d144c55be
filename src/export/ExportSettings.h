#pragma once

#include <optional>

#include "base/Geometry.h"
#include "export/ExportFormat.h"

namespace lumenreel {

// What an export writes. Times are seconds on the movie's clock; `to` defaults to its end.
struct ExportSettings {
    ExportFormat format = ExportFormat::mp4;
    // Pictures per second where the movie moves; still stretches cost one picture.
    double fps = 25;
    // The picture size; the movie's own when neither is given.
    std::optional<Size> size;
    double scale = 1;
    double from = 0;
    std::optional<double> to;
    // 1 (smallest) to 100 (best) for the lossy encoders.
    int quality = 80;
    // Every pixel as rendered (RGB with no loss); the file is larger and fewer players take it.
    bool lossless = false;
    // Colour at every pixel instead of every second one (4:4:4), for small coloured text.
    bool fullChroma = false;
    bool sound = true;
};

}  // namespace lumenreel
