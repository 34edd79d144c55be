#pragma once

#include "export/FfmpegHandles.h"

namespace lumenreel {

// One picture of an export, in the writer's pixel format and size, shown for `duration`
// seconds from `start` (both counted from the start of the export).
struct ExportPicture {
    FramePtr frame;
    double start = 0;
    double duration = 0;
};

// Where an export's pictures go, in order.
class PictureWriter {
public:
    virtual ~PictureWriter() = default;
    virtual bool write(const ExportPicture& picture) = 0;
};

}  // namespace lumenreel
