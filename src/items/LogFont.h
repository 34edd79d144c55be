#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "richtext/RichTextModel.h"

namespace lumenreel {

// A stored 60-byte logical font record: height, width, escapement, orientation and weight
// (32-bit each), italic, underline, strike-out, character set, four bytes of precision, quality
// and pitch, then a 32-byte face name.
using LogFontBytes = std::array<std::uint8_t, 60>;

// Height 16, default character set, "Arial".
LogFontBytes defaultLogFont();

struct LogFont {
    std::int32_t height = 0;
    std::int32_t weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    // Up to the first zero byte, at most 32 bytes when none ends it.
    std::string face;
};

LogFont decodeLogFont(const LogFontBytes& bytes);

// The plain-text format the font stands for; the face is drawn by the installed family that
// stands in for it.
CharFormat charFormatFor(const LogFont& font);

}  // namespace lumenreel
