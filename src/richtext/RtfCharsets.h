#pragma once

// The Windows character sets that RTF font tables name (\fcharset), and their code pages.
namespace lumenreel {

// The code page of a character set; 0 when the set names none (default, symbol, unknown),
// so that the document's \ansicpg applies.
unsigned codePageOfCharset(int charset);
// True when bytes below 0x80 are ASCII in the code page, as in every code page a character
// set names (and UTF-8).
bool isAsciiCompatible(unsigned codePage);

}  // namespace lumenreel
