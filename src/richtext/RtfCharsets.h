#pragma once

// The Windows character sets that RTF font tables name (\fcharset), and their code pages.
namespace lumenreel {

// The code page of a character set; 0 when the set names none (default, symbol, unknown),
// so that the document's \ansicpg applies.
unsigned codePageOfCharset(int charset);
// The character set that holds a code page, for writing font tables; 0 for Windows-1252 and
// for code pages no character set names.
int charsetOfCodePage(unsigned codePage);

}  // namespace lumenreel
