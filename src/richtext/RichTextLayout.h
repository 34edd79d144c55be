#pragma once

#include <pango/pangocairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Geometry.h"
#include "richtext/RichTextModel.h"

namespace lumenreel {

// Colours for the runs that have none of their own, and whether pure white must be avoided
// because white is the transparent key of the picture drawn into.
struct TextColors {
    std::uint32_t text = 0;  // 0x00BBGGRR
    bool avoidKeyColor = false;
};

inline constexpr int kScreenDpi = 96;

// A document broken into lines at a given width with Pango, in the fonts its formats name.
// A line's height is the tallest of its fonts (ascent + descent); lines stack without gaps.
class RichTextLayout {
public:
    RichTextLayout(PangoContext* context, const RichDocument& document, int wrapWidth,
                   bool avoidKeyColor);
    ~RichTextLayout();
    RichTextLayout(const RichTextLayout&) = delete;
    RichTextLayout& operator=(const RichTextLayout&) = delete;

    // The widest line (with its indents) × the sum of the line heights, in pixels.
    Size size() const;
    // Draws the lines with their top-left at the context's origin; lines that end below
    // maxHeight are left out, except the first.
    void draw(cairo_t* cr, std::uint32_t textColor, int maxHeight) const;

private:
    struct Line {
        PangoLayoutLine* line = nullptr;  // owned by its paragraph's layout
        int x = 0;                        // pixels from the left edge
        int top = 0;
        int height = 0;
        int ascent = 0;
        int width = 0;
    };

    void addParagraph(PangoContext* context, const Paragraph& paragraph, int wrapWidth,
                      bool avoidKeyColor);

    std::vector<PangoLayout*> m_layouts;
    std::vector<Line> m_lines;
    int m_height = 0;
};

// Font size in pixels for a size in half-points, rounded as the platform's font heights are.
int fontPixelSize(int halfPoints);
int twipsToPixels(int twips);

}  // namespace lumenreel
