#include "richtext/RichTextLayout.h"

#include <algorithm>
#include <string>

#include "images/WhiteKey.h"
#include "richtext/FontFaces.h"
#include "richtext/Utf8.h"

namespace lumenreel {
namespace {

constexpr int kDefaultTabPixels = 48;  // half an inch
constexpr guint16 kPangoColorScale = 257;

std::uint32_t visibleOnKey(std::uint32_t color, bool avoidKeyColor) {
    return avoidKeyColor ? visibleColour(color) : color & 0xFFFFFF;
}

guint16 channel(std::uint32_t color, int shift) {
    return static_cast<guint16>(((color >> shift) & 0xFF) * kPangoColorScale);
}

PangoFontDescription* fontDescription(const CharFormat& format) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, fontFamilyFor(format.face).c_str());
    pango_font_description_set_absolute_size(description,
                                             fontPixelSize(format.halfPoints) * PANGO_SCALE);
    pango_font_description_set_weight(description,
                                      format.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
                                     format.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return description;
}

void addAttribute(PangoAttrList* list, PangoAttribute* attribute, std::size_t start,
                  std::size_t end) {
    attribute->start_index = static_cast<guint>(start);
    attribute->end_index = static_cast<guint>(end);
    pango_attr_list_insert(list, attribute);
}

void addFormat(PangoAttrList* list, const CharFormat& format, std::size_t start, std::size_t end,
               bool avoidKeyColor) {
    PangoFontDescription* description = fontDescription(format);
    addAttribute(list, pango_attr_font_desc_new(description), start, end);
    pango_font_description_free(description);
    if (format.underline) {
        addAttribute(list, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), start, end);
    }
    if (format.strikeOut)
        addAttribute(list, pango_attr_strikethrough_new(TRUE), start, end);
    if (format.color) {
        std::uint32_t c = visibleOnKey(*format.color, avoidKeyColor);
        addAttribute(list, pango_attr_foreground_new(channel(c, 0), channel(c, 8), channel(c, 16)),
                     start, end);
    }
    if (format.highlight) {
        std::uint32_t c = visibleOnKey(*format.highlight, avoidKeyColor);
        addAttribute(list, pango_attr_background_new(channel(c, 0), channel(c, 8), channel(c, 16)),
                     start, end);
    }
}

// Pango wants valid UTF-8 without control characters; a line break inside a paragraph becomes
// the Unicode line separator so that the paragraph's first-line indent is not repeated.
void appendForPango(std::string& out, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = nextUtf8(text, pos);
        if (c == '\n') {
            appendUtf8(out, U'\u2028');
        } else if (c == '\t' || (c >= 0x20 && c != 0x7F)) {
            appendUtf8(out, c);
        }
    }
}

}  // namespace

int fontPixelSize(int halfPoints) {
    int points = std::clamp(halfPoints, 0, kMaxHalfPoints) / 2;
    return std::max(1, points * kScreenDpi / 72);
}

int twipsToPixels(int twips) {
    return std::clamp(twips, -kMaxIndentTwips, kMaxIndentTwips) * kScreenDpi / 1440;
}

RichTextLayout::RichTextLayout(PangoContext* context, const RichDocument& document, int wrapWidth,
                               bool avoidKeyColor) {
    for (const Paragraph& paragraph : document.paragraphs) {
        addParagraph(context, paragraph, wrapWidth, avoidKeyColor);
    }
}

RichTextLayout::~RichTextLayout() {
    for (PangoLayout* layout : m_layouts)
        g_object_unref(layout);
}

void RichTextLayout::addParagraph(PangoContext* context, const Paragraph& paragraph, int wrapWidth,
                                  bool avoidKeyColor) {
    PangoLayout* layout = pango_layout_new(context);
    m_layouts.push_back(layout);

    std::string text;
    PangoAttrList* attributes = pango_attr_list_new();
    for (const TextRun& run : paragraph.runs) {
        std::size_t start = text.size();
        appendForPango(text, run.text);
        addFormat(attributes, run.format, start, text.size(), avoidKeyColor);
    }
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
    PangoFontDescription* markFont = fontDescription(paragraph.markFormat);
    pango_layout_set_font_description(layout, markFont);
    pango_font_description_free(markFont);

    // A negative first-line indent hangs: the first line starts left of the others.
    const int left = twipsToPixels(paragraph.leftIndent);
    const int right = std::max(0, twipsToPixels(paragraph.rightIndent));
    const int first = twipsToPixels(paragraph.firstIndent);
    const int origin = std::max(0, left + std::min(0, first));
    pango_layout_set_indent(layout, first * PANGO_SCALE);
    pango_layout_set_width(layout, std::max(1, wrapWidth - origin - right) * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout, paragraph.alignment == Alignment::Center ? PANGO_ALIGN_CENTER
                                       : paragraph.alignment == Alignment::Right
                                           ? PANGO_ALIGN_RIGHT
                                           : PANGO_ALIGN_LEFT);
    pango_layout_set_justify(layout, paragraph.alignment == Alignment::Justify);
    PangoTabArray* tabs = pango_tab_array_new_with_positions(
        2, TRUE, PANGO_TAB_LEFT, kDefaultTabPixels, PANGO_TAB_LEFT, 2 * kDefaultTabPixels);
    pango_layout_set_tabs(layout, tabs);
    pango_tab_array_free(tabs);

    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    bool firstLine = true;
    do {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        int ascent = 0;
        int descent = 0;
        for (GSList* item = line->runs; item != nullptr; item = item->next) {
            auto* run = static_cast<PangoGlyphItem*>(item->data);
            PangoFontMetrics* metrics = pango_font_get_metrics(run->item->analysis.font, nullptr);
            ascent = std::max(ascent, PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics)));
            descent = std::max(descent, PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics)));
            pango_font_metrics_unref(metrics);
        }
        if (line->runs == nullptr) {
            ascent = PANGO_PIXELS_CEIL(-logical.y);
            descent = PANGO_PIXELS_CEIL(logical.y + logical.height);
        }
        Line placed;
        placed.line = line;
        placed.x = origin + PANGO_PIXELS(logical.x);
        placed.top = m_height;
        placed.ascent = ascent;
        placed.height = ascent + descent;
        int indent = firstLine ? std::max(0, first) : std::max(0, -first);
        placed.width = origin + indent + PANGO_PIXELS_CEIL(logical.width) + right;
        m_lines.push_back(placed);
        m_height += placed.height;
        firstLine = false;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
}

Size RichTextLayout::size() const {
    Size size{0, m_height};
    for (const Line& line : m_lines)
        size.width = std::max(size.width, line.width);
    return size;
}

void RichTextLayout::draw(cairo_t* cr, std::uint32_t textColor, int maxHeight) const {
    cairo_set_source_rgb(cr, (textColor & 0xFF) / 255.0, ((textColor >> 8) & 0xFF) / 255.0,
                         ((textColor >> 16) & 0xFF) / 255.0);
    for (const Line& line : m_lines) {
        if (line.top + line.height > maxHeight && line.top > 0)
            break;
        cairo_move_to(cr, line.x, line.top + line.ascent);
        pango_cairo_show_layout_line(cr, line.line);
    }
}

}  // namespace lumenreel
