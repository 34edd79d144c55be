#include "richtext/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "richtext/RtfCharsets.h"
#include "richtext/RtfKeywords.h"
#include "richtext/Utf8.h"

namespace lumenreel {
namespace {

constexpr std::size_t kMaxDepth = 256;
constexpr std::size_t kMaxKeywordLength = 32;

enum class Destination { Text, FontTable, ColorTable, Skip };

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
};

// What a group inherits from its parent and restores when it ends.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1;  // -1: the document's default font
    CharFormat format;
    ParagraphFormat paragraph;
    int unicodeSkip = 1;
    bool hidden = false;
};

struct FontEntry {
    std::string face;
    int charset = 1;
    unsigned codePage = 0;  // from \cpg; 0 when the character set decides
    bool nameComplete = false;
};

class RtfParser {
public:
    explicit RtfParser(std::string_view input) : m_in(input) {}

    RichDocument parse() {
        m_groups.emplace_back();
        bool started = false;
        while (m_pos < m_in.size()) {
            char c = m_in[m_pos++];
            if (c == '{') {
                flushText();
                started = true;
                openGroup();
            } else if (c == '}') {
                flushText();
                if (closeGroup() && started)
                    break;
            } else if (c == '\\') {
                readControl();
            } else {
                readCharacter(c);
            }
        }
        finishDocument();
        return std::move(m_document);
    }

private:
    GroupState& state() { return m_groups.back(); }

    void openGroup() {
        if (m_groups.size() >= kMaxDepth) {
            ++m_overflow;
            return;
        }
        m_groups.push_back(m_groups.back());
    }

    // True when the outermost group has just ended.
    bool closeGroup() {
        m_skipFallback = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return false;
        }
        if (m_groups.size() <= 1)
            return true;
        if (state().destination == Destination::FontTable)
            finishFontName();
        m_groups.pop_back();
        return m_groups.size() == 1;
    }

    bool skipping() const {
        return m_overflow > 0 || m_groups.back().destination == Destination::Skip;
    }

    void readCharacter(char c) {
        if (c == '\r' || c == '\n')
            return;
        if (takeFallback())
            return;
        if (skipping())
            return;
        if (state().destination == Destination::ColorTable) {
            if (c == ';')
                finishColor();
            return;
        }
        if (state().destination == Destination::FontTable && c == ';') {
            finishFontName();
            return;
        }
        if (c == '\t') {
            emit(U'\t');
            return;
        }
        if (static_cast<unsigned char>(c) < 0x20)
            return;
        m_pending += c;
    }

    // Characters after \uN stand in for readers without Unicode; they are dropped.
    bool takeFallback() {
        if (m_skipFallback == 0)
            return false;
        --m_skipFallback;
        return true;
    }

    void readControl() {
        if (m_pos >= m_in.size())
            return;
        char c = m_in[m_pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            readControlSymbol(c);
            return;
        }
        std::size_t start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])) &&
               m_pos - start < kMaxKeywordLength) {
            ++m_pos;
        }
        std::string_view word = m_in.substr(start, m_pos - start);
        bool hasValue = false;
        int value = readNumber(hasValue);
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        flushText();
        if (takeFallback())
            return;
        if (word == "bin") {
            skipBinary(hasValue ? value : 0);
            return;
        }
        if (m_overflow > 0)
            return;
        controlWord(word, hasValue, value);
    }

    int readNumber(bool& hasValue) {
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        std::int64_t value = 0;
        std::size_t digits = 0;
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            if (digits < 10)
                value = value * 10 + (m_in[m_pos] - '0');
            ++digits;
            ++m_pos;
        }
        hasValue = digits > 0;
        if (negative)
            value = -value;
        return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
    }

    void skipBinary(int count) {
        if (count > 0)
            m_pos += std::min<std::size_t>(static_cast<std::size_t>(count), m_in.size() - m_pos);
    }

    void readControlSymbol(char c) {
        if (c == '\'') {
            readHexByte();
            return;
        }
        if (c == '\\' || c == '{' || c == '}') {
            // Escaped bytes join the text around them, like \'hh.
            if (!takeFallback() && !skipping() && state().destination != Destination::ColorTable) {
                m_pending += c;
            }
            return;
        }
        flushText();
        if (takeFallback())
            return;
        if (skipping())
            return;
        switch (c) {
            case '~':
                emit(U'\u00A0');
                break;
            case '_':
                emit(U'\u2011');
                break;
            case '*':
                state().destination = Destination::Skip;
                break;
            case '\r':
            case '\n':
                endParagraph();
                break;
            default:
                break;  // \- (optional hyphen) and unknown symbols show nothing
        }
    }

    void readHexByte() {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size() &&
               std::isxdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            char h = static_cast<char>(std::tolower(static_cast<unsigned char>(m_in[m_pos++])));
            value = value * 16 + (h <= '9' ? h - '0' : h - 'a' + 10);
            ++digits;
        }
        if (takeFallback())
            return;
        if (digits < 2 || skipping())
            return;
        if (state().destination == Destination::ColorTable)
            return;
        // Kept with the text around it: a double-byte character's two halves decode together.
        m_pending += static_cast<char>(value);
    }

    void controlWord(std::string_view word, bool hasValue, int value) {
        if (skipping())
            return;
        GroupState& s = state();
        if (s.destination == Destination::FontTable) {
            fontTableWord(word, hasValue, value);
            return;
        }
        if (s.destination == Destination::ColorTable) {
            colorTableWord(word, value);
            return;
        }
        bool on = !hasValue || value != 0;
        CharFormat& f = s.format;
        if (word == "par" || word == "sect" || word == "row") {
            endParagraph();
        } else if (word == "pard") {
            s.paragraph = {};
        } else if (word == "plain") {
            s.font = -1;
            f = CharFormat{};
            s.hidden = false;
        } else if (word == "f") {
            s.font = value;
        } else if (word == "fs") {
            f.halfPoints =
                hasValue && value > 0 ? std::min(value, kMaxHalfPoints) : kDefaultHalfPoints;
        } else if (word == "b") {
            f.bold = on;
        } else if (word == "i") {
            f.italic = on;
        } else if (word == "ulnone") {
            f.underline = false;
        } else if (isUnderlineWord(word)) {
            f.underline = on;
        } else if (word == "strike" || word == "striked") {
            f.strikeOut = on;
        } else if (word == "v") {
            s.hidden = on;
        } else if (word == "cf") {
            f.color = colorAt(value);
        } else if (word == "highlight") {
            f.highlight = colorAt(value);
        } else if (word == "ql" || word == "qc" || word == "qr" || word == "qj") {
            s.paragraph.alignment = word == "qc"   ? Alignment::Center
                                    : word == "qr" ? Alignment::Right
                                    : word == "qj" ? Alignment::Justify
                                                   : Alignment::Left;
        } else if (word == "li") {
            s.paragraph.leftIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        } else if (word == "ri") {
            s.paragraph.rightIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        } else if (word == "fi") {
            s.paragraph.firstIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
        } else if (word == "uc") {
            s.unicodeSkip = std::clamp(value, 0, 16);
        } else if (word == "u") {
            if (hasValue)
                unicodeCharacter(value);
        } else if (word == "ansicpg") {
            if (value > 0)
                m_ansiCodePage = static_cast<unsigned>(value);
        } else if (word == "mac") {
            m_ansiCodePage = 10000;
        } else if (word == "pc") {
            m_ansiCodePage = 437;
        } else if (word == "pca") {
            m_ansiCodePage = 850;
        } else if (word == "deff") {
            m_defaultFont = value;
        } else if (word == "fonttbl") {
            s.destination = Destination::FontTable;
            m_fontInTable = nullptr;
        } else if (word == "colortbl") {
            s.destination = Destination::ColorTable;
            m_colorPending = {};
        } else if (isSkippedDestination(word)) {
            s.destination = Destination::Skip;
        } else if (std::optional<char32_t> character = characterOfWord(word)) {
            emit(*character);
        }
    }

    void fontTableWord(std::string_view word, bool hasValue, int value) {
        if (word == "f") {
            finishFontName();
            m_fontInTable = &m_fonts[value];
            *m_fontInTable = {};
        } else if (m_fontInTable == nullptr) {
            return;
        } else if (word == "fcharset") {
            m_fontInTable->charset = value >= 0 && value <= 255 ? value : 1;
        } else if (word == "cpg") {
            m_fontInTable->codePage = value > 0 ? static_cast<unsigned>(value) : 0;
        } else if (word == "u" && hasValue) {
            unicodeCharacter(value);
        }
    }

    void colorTableWord(std::string_view word, int value) {
        int shift = word == "red" ? 0 : word == "green" ? 8 : word == "blue" ? 16 : -1;
        if (shift < 0)
            return;
        std::uint32_t component = static_cast<std::uint32_t>(std::clamp(value, 0, 255));
        m_colorPending = (m_colorPending.value_or(0) & ~(0xFFu << shift)) | (component << shift);
    }

    void finishColor() {
        m_colors.push_back(m_colorPending);
        m_colorPending = {};
    }

    std::optional<std::uint32_t> colorAt(int index) const {
        if (index <= 0 || static_cast<std::size_t>(index) >= m_colors.size())
            return {};
        return m_colors[static_cast<std::size_t>(index)];
    }

    void finishFontName() {
        flushText();
        if (m_fontInTable != nullptr)
            m_fontInTable->nameComplete = true;
    }

    void unicodeCharacter(int value) {
        // Values above 32767 are written as negative numbers.
        char32_t unit = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        m_skipFallback = static_cast<std::size_t>(state().unicodeSkip);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_highSurrogate = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF && m_highSurrogate != 0) {
            char32_t high = m_highSurrogate;
            m_highSurrogate = 0;
            emit(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            return;
        }
        emit(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
    }

    void emit(char32_t character) {
        flushText();
        std::string utf8;
        appendUtf8(utf8, character);
        deliver(utf8);
    }

    // Decodes the collected bytes with the code page of the font they are written in.
    void flushText() {
        if (m_pending.empty())
            return;
        std::string bytes;
        bytes.swap(m_pending);
        unsigned codePage = currentCodePage();
        bool ascii = std::ranges::all_of(bytes, [](char c) { return (c & 0x80) == 0; });
        // Most caption text is ASCII; it needs no converter.
        deliver(ascii && isAsciiCompatible(codePage) ? bytes : codePageToUtf8(bytes, codePage));
    }

    void deliver(std::string utf8) {
        if (m_highSurrogate != 0) {
            // A high surrogate without its low half.
            m_highSurrogate = 0;
            std::string replacement;
            appendUtf8(replacement, U'\uFFFD');
            utf8.insert(0, replacement);
        }
        if (skipping())
            return;
        GroupState& s = state();
        if (s.destination == Destination::FontTable) {
            if (m_fontInTable != nullptr && !m_fontInTable->nameComplete)
                m_fontInTable->face += utf8;
        } else if (s.destination == Destination::Text && !s.hidden) {
            m_paragraph.append(resolvedFormat(), utf8);
        }
    }

    const FontEntry* fontEntry(int font) const {
        auto found = m_fonts.find(font < 0 ? m_defaultFont : font);
        return found == m_fonts.end() ? nullptr : &found->second;
    }

    unsigned codePageOf(const FontEntry* entry) const {
        if (entry == nullptr)
            return m_ansiCodePage;
        if (entry->codePage != 0)
            return entry->codePage;
        unsigned codePage = codePageOfCharset(entry->charset);
        return codePage != 0 ? codePage : m_ansiCodePage;
    }

    unsigned currentCodePage() const {
        if (m_groups.back().destination == Destination::FontTable)
            return codePageOf(m_fontInTable);
        return codePageOf(fontEntry(m_groups.back().font));
    }

    CharFormat resolvedFormat() const {
        const GroupState& s = m_groups.back();
        CharFormat format = s.format;
        if (const FontEntry* entry = fontEntry(s.font)) {
            // Trimmed here: a name cut off before its ';' is still in use.
            std::string_view face = entry->face;
            face.remove_prefix(std::min(face.find_first_not_of(' '), face.size()));
            face.remove_suffix(face.size() - (face.find_last_not_of(' ') + 1));
            format.face = face;
            format.charset = entry->charset;
        } else {
            format.face = CharFormat{}.face;
            format.charset = 1;
        }
        return format;
    }

    void endParagraph() {
        const GroupState& s = state();
        if (s.destination != Destination::Text)
            return;
        if (m_highSurrogate != 0)
            deliver({});
        m_paragraph.alignment = s.paragraph.alignment;
        m_paragraph.leftIndent = s.paragraph.leftIndent;
        m_paragraph.rightIndent = s.paragraph.rightIndent;
        m_paragraph.firstIndent = s.paragraph.firstIndent;
        m_paragraph.markFormat = resolvedFormat();
        m_document.paragraphs.push_back(std::move(m_paragraph));
        m_paragraph = {};
    }

    // A last paragraph without its mark still counts when it holds text.
    void finishDocument() {
        flushText();
        if (m_highSurrogate != 0)
            deliver({});
        if (!m_paragraph.empty()) {
            while (m_groups.size() > 1 && state().destination != Destination::Text)
                m_groups.pop_back();
            endParagraph();
        }
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_groups;
    std::size_t m_overflow = 0;  // groups opened beyond the depth limit, read as skipped
    std::size_t m_skipFallback = 0;
    char32_t m_highSurrogate = 0;
    std::string m_pending;  // text bytes in the current font's code page
    unsigned m_ansiCodePage = kDefaultAnsiCodePage;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    FontEntry* m_fontInTable = nullptr;
    std::vector<std::optional<std::uint32_t>> m_colors;
    std::optional<std::uint32_t> m_colorPending;
    Paragraph m_paragraph;
    RichDocument m_document;
};

}  // namespace

bool looksLikeRtf(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && text.substr(start).starts_with("{\\rtf");
}

RichDocument readRtf(std::string_view rtf) {
    return RtfParser(rtf).parse();
}

}  // namespace lumenreel
