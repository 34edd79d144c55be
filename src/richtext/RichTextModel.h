#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The document a caption's rich text reads into: paragraphs of runs that share one character
// format. Text is UTF-8; '\n' inside a run is a line break within the paragraph, '\t' a tab.
namespace lumenreel {

inline constexpr int kDefaultHalfPoints = 24;  // what RTF assumes without \fs
inline constexpr int kMaxHalfPoints = 3276;
inline constexpr int kMaxIndentTwips = 31680;  // 22 inches

struct CharFormat {
    std::string face = "Arial";
    int charset = 0;  // Windows character set of the face (\fcharset)
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<std::uint32_t> color;      // 0x00BBGGRR; none means the caller's text colour
    std::optional<std::uint32_t> highlight;  // 0x00BBGGRR; none means no background

    bool operator==(const CharFormat&) const = default;
};

struct TextRun {
    CharFormat format;
    std::string text;

    bool operator==(const TextRun&) const = default;
};

enum class Alignment { Left, Center, Right, Justify };

struct Paragraph {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;   // twips
    int rightIndent = 0;  // twips
    int firstIndent = 0;  // twips, relative to the left indent
    std::vector<TextRun> runs;
    // The format of the paragraph mark: gives an empty paragraph its height.
    CharFormat markFormat;

    // Adds text in a format, joining it to the last run when the format is the same.
    void append(const CharFormat& format, std::string_view text);
    bool empty() const { return runs.empty(); }

    bool operator==(const Paragraph&) const = default;
};

struct RichDocument {
    std::vector<Paragraph> paragraphs;

    // The text without formats: paragraphs joined by '\n'.
    std::string plainText() const;
    // Characters as an edit control counts them: UTF-16 units, one per paragraph break.
    std::size_t textLength() const;

    bool operator==(const RichDocument&) const = default;
};

}  // namespace lumenreel
