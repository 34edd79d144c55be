#include "richtext/AutoRichEditCtrl.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/CodePage.h"
#include "images/ImageExt.h"
#include "images/WhiteKey.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

using lumenreel::CharFormat;
using lumenreel::RichDocument;
using lumenreel::RichTextLayout;
using lumenreel::Size;
using lumenreel::TextColors;

namespace {

// Fonts are laid out for a 96 dpi screen with grey antialiasing and whole-pixel advances, as the
// platform's text output places them.
PangoContext* createContext() {
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(context, lumenreel::kScreenDpi);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    return context;
}

RichDocument documentFromPlainText(std::string_view utf8, const CharFormat& format) {
    RichDocument document;
    lumenreel::Paragraph paragraph;
    paragraph.markFormat = format;
    for (std::size_t pos = 0; pos <= utf8.size();) {
        std::size_t end = utf8.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = utf8.size();
        paragraph.append(format, utf8.substr(pos, end - pos));
        if (end == utf8.size())
            break;
        document.paragraphs.push_back(paragraph);
        paragraph.runs.clear();
        pos = end + (utf8.substr(end).starts_with("\r\n") ? 2 : 1);
    }
    if (!paragraph.empty())
        document.paragraphs.push_back(paragraph);
    return document;
}

}  // namespace

CAutoRichEditCtrl::CAutoRichEditCtrl(int controlWidth)
    : m_controlWidth(std::max(1, controlWidth)), m_context(createContext()) {}

CAutoRichEditCtrl::~CAutoRichEditCtrl() {
    m_measureLayout.layout.reset();
    m_renderLayout.layout.reset();
    g_object_unref(m_context);
}

bool CAutoRichEditCtrl::setRichText(std::string_view rtf) {
    bool isRtf = lumenreel::looksLikeRtf(rtf);
    // Captions are loaded again for every picture made of them; the same text keeps its layouts.
    if (isRtf && rtf == m_loadedRtf)
        return true;
    if (isRtf) {
        setDocument(lumenreel::readRtf(rtf));
        m_loadedRtf = rtf;
    } else {
        setPlainText(rtf);
    }
    return isRtf;
}

std::string CAutoRichEditCtrl::richText() const {
    return lumenreel::writeRtf(m_document);
}

CharFormat CAutoRichEditCtrl::defaultPlainFormat() {
    CharFormat format;
    format.halfPoints = 20;
    return format;
}

void CAutoRichEditCtrl::setPlainText(std::string_view ansiText, const CharFormat& format) {
    setDocument(documentFromPlainText(lumenreel::ansiToUtf8(ansiText), format));
}

void CAutoRichEditCtrl::setDocument(RichDocument document) {
    m_document = std::move(document);
    m_loadedRtf.clear();
    m_measureLayout.layout.reset();
    m_renderLayout.layout.reset();
}

const RichTextLayout& CAutoRichEditCtrl::layoutFor(CachedLayout& cache, int width,
                                                   bool avoidKeyColor) {
    if (!cache.layout || cache.width != width || cache.avoidKeyColor != avoidKeyColor) {
        cache.layout =
            std::make_unique<RichTextLayout>(m_context, m_document, width, avoidKeyColor);
        cache.width = width;
        cache.avoidKeyColor = avoidKeyColor;
    }
    return *cache.layout;
}

Size CAutoRichEditCtrl::measure() {
    return layoutFor(m_measureLayout, m_controlWidth, false).size();
}

void CAutoRichEditCtrl::renderInto(const PixelView& target, const lumenreel::Rect& rect,
                                   const TextColors& colors) {
    if (target.empty() || (target.bytesPerPixel != 3 && target.bytesPerPixel != 4))
        return;
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, target.width);
    const int bottom = std::min(rect.bottom, target.height);
    if (left >= right || top >= bottom)
        return;
    const RichTextLayout& layout = layoutFor(m_renderLayout, rect.width(), colors.avoidKeyColor);

    // Glyphs are drawn over a copy of the covered pixels so that the fourth byte of 32-bit
    // pictures is never touched and nothing outside the rectangle can change.
    const int width = right - left;
    const int height = bottom - top;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || data == nullptr) {
        cairo_surface_destroy(surface);
        return;
    }
    const int bpp = target.bytesPerPixel;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = target.row(top + y) + left * bpp;
        unsigned char* to = data + y * stride;
        for (int x = 0; x < width; ++x)
            std::memcpy(to + x * 4, from + x * bpp, 3);
    }
    cairo_surface_mark_dirty(surface);
    cairo_t* cr = cairo_create(surface);
    cairo_translate(cr, rect.left - left, rect.top - top);
    const std::uint32_t textColor =
        colors.avoidKeyColor ? lumenreel::visibleColour(colors.text) : colors.text & 0xFFFFFF;
    layout.draw(cr, textColor, rect.height());
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* to = target.row(top + y) + left * bpp;
        const unsigned char* from = data + y * stride;
        for (int x = 0; x < width; ++x)
            std::memcpy(to + x * bpp, from + x * 4, 3);
    }
    cairo_surface_destroy(surface);
}

void CAutoRichEditCtrl::renderInto(CImageExt& target, const lumenreel::Rect& rect,
                                   const TextColors& colors) {
    renderInto(target.view(), rect, colors);
}
