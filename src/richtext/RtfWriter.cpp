#include "richtext/RtfWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "base/CodePage.h"
#include "richtext/RtfCharsets.h"
#include "richtext/Utf8.h"

namespace lumenreel {
namespace {

constexpr unsigned kWriterCodePage = 1252;

unsigned codePageForCharset(int charset) {
    unsigned codePage = codePageOfCharset(charset);
    return codePage != 0 ? codePage : kWriterCodePage;
}

// How text escapes: body text has \tab and \line; font names have neither.
enum class TextContext { Body, FontName };

class RtfWriter {
public:
    explicit RtfWriter(const RichDocument& document) : m_document(document) {}

    std::string write() {
        collectTables();
        m_out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033";
        writeFontTable();
        writeColorTable();
        m_out += "\\viewkind4\\uc1";
        for (const Paragraph& paragraph : m_document.paragraphs)
            writeParagraph(paragraph);
        m_out += "}\n";
        return std::move(m_out);
    }

private:
    using FontKey = std::pair<std::string, int>;

    void collectTables() {
        auto note = [&](const CharFormat& format) {
            FontKey font{format.face, format.charset};
            if (std::ranges::find(m_fonts, font) == m_fonts.end())
                m_fonts.push_back(font);
            for (const auto& colour : {format.color, format.highlight}) {
                if (colour && std::ranges::find(m_colors, *colour & 0xFFFFFF) == m_colors.end()) {
                    m_colors.push_back(*colour & 0xFFFFFF);
                }
            }
        };
        for (const Paragraph& paragraph : m_document.paragraphs) {
            for (const TextRun& run : paragraph.runs)
                note(run.format);
            note(paragraph.markFormat);
        }
        if (m_fonts.empty())
            m_fonts.emplace_back(CharFormat{}.face, CharFormat{}.charset);
    }

    void writeFontTable() {
        m_out += "{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            const auto& [face, charset] = m_fonts[i];
            m_out +=
                "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(charset) + ' ';
            writeText(face, codePageForCharset(charset), TextContext::FontName);
            m_out += ";}";
        }
        m_out += "}\n";
    }

    void writeColorTable() {
        m_out += "{\\colortbl ;";
        for (std::uint32_t colour : m_colors) {
            m_out += "\\red" + std::to_string(colour & 0xFF) + "\\green" +
                     std::to_string((colour >> 8) & 0xFF) + "\\blue" +
                     std::to_string((colour >> 16) & 0xFF) + ';';
        }
        m_out += "}\n";
    }

    void writeParagraph(const Paragraph& paragraph) {
        m_out += "\\pard";
        switch (paragraph.alignment) {
            case Alignment::Left:
                break;
            case Alignment::Center:
                m_out += "\\qc";
                break;
            case Alignment::Right:
                m_out += "\\qr";
                break;
            case Alignment::Justify:
                m_out += "\\qj";
                break;
        }
        if (paragraph.leftIndent != 0)
            m_out += "\\li" + std::to_string(paragraph.leftIndent);
        if (paragraph.rightIndent != 0)
            m_out += "\\ri" + std::to_string(paragraph.rightIndent);
        if (paragraph.firstIndent != 0)
            m_out += "\\fi" + std::to_string(paragraph.firstIndent);
        m_wordOpen = true;
        for (const TextRun& run : paragraph.runs) {
            switchFormat(run.format);
            writeText(run.text, codePageForCharset(run.format.charset), TextContext::Body);
        }
        switchFormat(paragraph.markFormat);
        m_out += "\\par\n";
        m_wordOpen = false;
    }

    void word(std::string_view name, long value) {
        m_out += '\\';
        m_out += name;
        m_out += std::to_string(value);
        m_wordOpen = true;
    }
    void toggle(std::string_view on, std::string_view off, bool value) {
        m_out += '\\';
        m_out += value ? on : off;
        m_wordOpen = true;
    }

    // Writes only what changed since the last run, as rich edit controls do.
    void switchFormat(const CharFormat& format) {
        const bool first = !m_formatKnown;
        const CharFormat& was = m_format;
        if (first || was.face != format.face || was.charset != format.charset) {
            word("f", fontIndex(format));
        }
        if (first || was.halfPoints != format.halfPoints)
            word("fs", format.halfPoints);
        if (was.bold != format.bold)
            toggle("b", "b0", format.bold);
        if (was.italic != format.italic)
            toggle("i", "i0", format.italic);
        if (was.underline != format.underline)
            toggle("ul", "ulnone", format.underline);
        if (was.strikeOut != format.strikeOut)
            toggle("strike", "strike0", format.strikeOut);
        if (first || was.color != format.color)
            word("cf", colorIndex(format.color));
        if (first || was.highlight != format.highlight) {
            word("highlight", colorIndex(format.highlight));
        }
        m_format = format;
        m_formatKnown = true;
    }

    long fontIndex(const CharFormat& format) const {
        FontKey key{format.face, format.charset};
        return std::ranges::find(m_fonts, key) - m_fonts.begin();
    }

    long colorIndex(const std::optional<std::uint32_t>& colour) const {
        if (!colour)
            return 0;
        return std::ranges::find(m_colors, *colour & 0xFFFFFF) - m_colors.begin() + 1;
    }

    // Ends a control word before text that could be read as part of it.
    void closeWord() {
        if (m_wordOpen)
            m_out += ' ';
        m_wordOpen = false;
    }

    void writeText(std::string_view text, unsigned codePage, TextContext context) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t start = pos;
            char32_t c = nextUtf8(text, pos);
            if (context == TextContext::Body && (c == '\t' || c == '\n')) {
                m_out += c == '\t' ? "\\tab" : "\\line";
                m_wordOpen = true;
            } else if (c == '\\' || c == '{' || c == '}') {
                m_out += '\\';
                m_out += static_cast<char>(c);
                m_wordOpen = false;
            } else if (c >= 0x20 && c < 0x7F && !(c == ';' && context == TextContext::FontName)) {
                closeWord();
                m_out += static_cast<char>(c);
            } else {
                writeEscaped(c, text.substr(start, pos - start), codePage);
            }
        }
    }

    // \'hh bytes when the font's code page holds the character, \uN with a '?' stand-in if not.
    void writeEscaped(char32_t c, std::string_view utf8, unsigned codePage) {
        std::string bytes = encodedIn(c, utf8, codePage);
        if (!bytes.empty()) {
            char hex[8];
            for (char byte : bytes) {
                std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned char>(byte));
                m_out += hex;
            }
            m_wordOpen = false;
            return;
        }
        auto unit = [&](char32_t u) {
            word("u", u > 0x7FFF ? static_cast<long>(u) - 0x10000 : static_cast<long>(u));
            m_out += '?';
            m_wordOpen = false;
        };
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }

    // The character's bytes in the code page, or nothing when they would not read back the same.
    std::string encodedIn(char32_t c, std::string_view utf8, unsigned codePage) {
        if (c < 0x20 || c == 0x7F || c == ';')
            return std::string(1, static_cast<char>(c));
        auto key = std::make_pair(codePage, c);
        auto found = m_encodings.find(key);
        if (found != m_encodings.end())
            return found->second;
        std::string bytes = utf8ToCodePage(utf8, codePage);
        if (codePageToUtf8(bytes, codePage) != utf8)
            bytes.clear();
        m_encodings.emplace(key, bytes);
        return bytes;
    }

    const RichDocument& m_document;
    std::vector<FontKey> m_fonts;
    std::vector<std::uint32_t> m_colors;
    std::map<std::pair<unsigned, char32_t>, std::string> m_encodings;
    CharFormat m_format;
    bool m_formatKnown = false;
    bool m_wordOpen = false;
    std::string m_out;
};

}  // namespace

std::string writeRtf(const RichDocument& document) {
    return RtfWriter(document).write();
}

}  // namespace lumenreel
