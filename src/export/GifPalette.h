#pragma once

#include <string>
#include <vector>

#include "base/Geometry.h"
#include "export/ExportPicture.h"

namespace lumenreel {

// The 256 colours made for one movie: every picture of the export is shown to the palette maker,
// then each is mapped to the palette (changed areas only, so still parts do not shimmer).
// Pictures are BGRA at the export's size.
class GifPalette {
public:
    bool openMaker(Size size, std::string& error);
    bool show(const AVFrame& picture, std::string& error);
    // Ends the first pass; the palette is then ready for mapping.
    bool makePalette(std::string& error);

    bool openMapper(Size size, std::string& error);
    // The mapped pictures that are ready (palette pictures, one per picture given, in order).
    bool map(const AVFrame* picture, std::vector<FramePtr>& mapped, std::string& error);

private:
    FilterGraphPtr m_graph;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_paletteSource = nullptr;
    AVFilterContext* m_sink = nullptr;
    FramePtr m_palette;
};

}  // namespace lumenreel
