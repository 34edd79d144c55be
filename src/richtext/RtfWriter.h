#pragma once

#include <string>

#include "richtext/RichTextModel.h"

namespace lumenreel {

// Writes the document as a rich edit control stores it: an ANSI (Windows-1252) header, font and
// colour tables, then the paragraphs. readRtf gives back the same document.
std::string writeRtf(const RichDocument& document);

}  // namespace lumenreel
