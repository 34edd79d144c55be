#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>

#include "images/PixelView.h"
#include "richtext/RichTextLayout.h"
#include "richtext/RichTextModel.h"

class CImageExt;

// The rich text control captions are measured and drawn with: it holds one document, reads and
// writes it as RTF and lays it out as an edit control of the given width would.
class CAutoRichEditCtrl {
public:
    static constexpr int kDefaultControlWidth = 5000;

    explicit CAutoRichEditCtrl(int controlWidth = kDefaultControlWidth);
    ~CAutoRichEditCtrl();
    CAutoRichEditCtrl(const CAutoRichEditCtrl&) = delete;
    CAutoRichEditCtrl& operator=(const CAutoRichEditCtrl&) = delete;

    // Replaces the content. Text that is not RTF is taken as plain ANSI text, as the platform's
    // control does; the result says whether it was RTF.
    bool setRichText(std::string_view rtf);
    std::string richText() const;
    // Plain text in the ANSI code page, lines ending at CR, LF or CR LF, all in one format.
    void setPlainText(std::string_view ansiText,
                      const lumenreel::CharFormat& format = defaultPlainFormat());
    static lumenreel::CharFormat defaultPlainFormat();

    const lumenreel::RichDocument& document() const { return m_document; }
    void setDocument(lumenreel::RichDocument document);
    // Characters as the platform's control counts them (a paragraph break is one).
    std::size_t textLength() const { return m_document.textLength(); }

    // The size the content needs, lines broken at the control's width.
    lumenreel::Size measure();
    // Draws the content into the rectangle, lines broken at its width and nothing outside it;
    // pixels without glyphs keep every byte.
    void renderInto(const PixelView& target, const lumenreel::Rect& rect,
                    const lumenreel::TextColors& colors = {});
    void renderInto(CImageExt& target, const lumenreel::Rect& rect,
                    const lumenreel::TextColors& colors = {});

private:
    // Layouts are kept until the content changes: one at the control's width for measuring,
    // one for the last rectangle drawn into.
    struct CachedLayout {
        std::unique_ptr<lumenreel::RichTextLayout> layout;
        int width = 0;
        bool avoidKeyColor = false;
    };
    const lumenreel::RichTextLayout& layoutFor(CachedLayout& cache, int width, bool avoidKeyColor);

    int m_controlWidth;
    lumenreel::RichDocument m_document;
    std::string m_loadedRtf;  // what setRichText last read, to skip reading it again
    PangoContext* m_context = nullptr;
    CachedLayout m_measureLayout;
    CachedLayout m_renderLayout;
};
