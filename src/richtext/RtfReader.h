#pragma once

#include <string_view>

#include "richtext/RichTextModel.h"

namespace lumenreel {

// True when the text starts like an RTF document ("{\rtf", after white space).
bool looksLikeRtf(std::string_view text);

// Reads RTF as rich edit controls, word processors and converters write it. Broken input
// (unbalanced braces, cut-off text, unknown control words) gives whatever could be read.
RichDocument readRtf(std::string_view rtf);

}  // namespace lumenreel
