#pragma once

#include <string>
#include <string_view>

// Conversions between 8-bit strings in a Windows code page (the "ANSI" strings that stored files
// hold) and UTF-8 (what fonts, terminals and the desktop want).
namespace lumenreel {

inline constexpr unsigned kDefaultAnsiCodePage = 1252;

// The code page of stored 8-bit strings; Windows-1252 unless set otherwise.
unsigned ansiCodePage();
void setAnsiCodePage(unsigned codePage);

// Bytes that do not decode become U+FFFD; an unknown code page is read as Windows-1252. Where
// the system has no converter even for that (a system without its conversion modules), ASCII
// still passes and every other character becomes the substitute.
std::string codePageToUtf8(std::string_view bytes, unsigned codePage);
// Characters the code page cannot hold become '?'.
std::string utf8ToCodePage(std::string_view utf8, unsigned codePage);

enum class TextKind { codePage, utf8 };
// The conversion without any converter: ASCII as it is, every other character the substitute (a
// UTF-8 character being one however many bytes it takes).
std::string asciiOrSubstitute(std::string_view text, TextKind kind, std::string_view substitute);

inline std::string ansiToUtf8(std::string_view ansi) {
    return codePageToUtf8(ansi, ansiCodePage());
}
inline std::string utf8ToAnsi(std::string_view utf8) {
    return utf8ToCodePage(utf8, ansiCodePage());
}

// Case folding of ANSI strings as stored names compare: ASCII letters, plus the accented letters
// of Windows-1252 when that is the ANSI code page (bytes of other code pages are left whole).
char ansiToUpperChar(char c);
std::string ansiToUpper(std::string_view text);
// <0, 0 or >0 like strcmp, after folding both sides.
int ansiCompareNoCase(std::string_view a, std::string_view b);

}  // namespace lumenreel
