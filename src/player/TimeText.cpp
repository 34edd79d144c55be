#include "player/TimeText.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "images/Canvas.h"
#include "images/ImageExt.h"

namespace lumenreel {
namespace {

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr makeLayout(cairo_t* context, const std::string& text, const PanelTextStyle& style) {
    LayoutPtr layout(pango_cairo_create_layout(context));
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans, Liberation Sans");
    pango_font_description_set_absolute_size(font, style.pixelHeight * 0.8 * PANGO_SCALE);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout.get(), font);
    pango_font_description_free(font);
    pango_layout_set_text(layout.get(), text.c_str(), static_cast<int>(text.size()));
    return layout;
}

}  // namespace

std::string formatClock(float seconds, bool withHours) {
    const long long total =
        std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(seconds) : 0;
    char text[32];
    if (withHours)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

PanelTimeText panelTimeText(float elapsed, float total, int frame, int frameCount) {
    const bool hours = total >= 3600.0f;
    PanelTimeText text{formatClock(elapsed, hours) + " / " + formatClock(total, hours), {}};
    if (frameCount > 0)
        text.frame = std::to_string(std::clamp(frame, 0, frameCount - 1) + 1) + "/" +
                     std::to_string(frameCount);
    return text;
}

Size measureText(const std::string& text, const PanelTextStyle& style) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* context = cairo_create(surface);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(makeLayout(context, text, style).get(), &width, &height);
    cairo_destroy(context);
    cairo_surface_destroy(surface);
    return {width, height};
}

namespace {

// Draws the line with its top-left corner where place puts it, given the line's size.
void drawText(CImageExt& target, const Rect& clip, const std::string& text,
              const PanelTextStyle& style, const std::function<Point(Size)>& place) {
    if (target.isNull() || clip.width() <= 0 || clip.height() <= 0)
        return;
    Canvas& canvas = target.beginDraw();
    cairo_t* context = canvas.context();
    cairo_save(context);
    cairo_rectangle(context, clip.left, clip.top, clip.width(), clip.height());
    cairo_clip(context);
    LayoutPtr layout = makeLayout(context, text, style);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);
    cairo_set_source_rgb(context, (style.colour & 0xFF) / 255.0, (style.colour >> 8 & 0xFF) / 255.0,
                         (style.colour >> 16 & 0xFF) / 255.0);
    const Point topLeft = place({width, height});
    cairo_move_to(context, topLeft.x, topLeft.y);
    pango_cairo_show_layout(context, layout.get());
    cairo_restore(context);
    target.endDraw();
}

}  // namespace

void drawCentredText(CImageExt& target, const Rect& rect, const std::string& text,
                     const PanelTextStyle& style) {
    drawText(target, rect, text, style, [&rect](Size size) {
        return Point{static_cast<int>(rect.left + (rect.width() - size.width) / 2),
                     static_cast<int>(rect.top + (rect.height() - size.height) / 2)};
    });
}

void drawTextAt(CImageExt& target, Point topLeft, const std::string& text,
                const PanelTextStyle& style) {
    drawText(target, {0, 0, target.width(), target.height()}, text, style,
             [topLeft](Size) { return topLeft; });
}

}  // namespace lumenreel
