#include "richtext/RtfCharsets.h"

#include <array>
#include <utility>

namespace lumenreel {
namespace {

constexpr std::array<std::pair<int, unsigned>, 20> kCharsetCodePages{{
    {0, 1252},    // ANSI
    {77, 10000},  // Mac Roman
    {128, 932},   // Shift-JIS
    {129, 949},   // Hangul
    {130, 1361},  // Johab
    {134, 936},   // GB 2312
    {136, 950},   // Big5
    {161, 1253},  // Greek
    {162, 1254},  // Turkish
    {163, 1258},  // Vietnamese
    {177, 1255},  // Hebrew
    {178, 1256},  // Arabic
    {186, 1257},  // Baltic
    {204, 1251},  // Cyrillic
    {222, 874},   // Thai
    {238, 1250},  // Eastern European
    {254, 437},   // PC 437
    {255, 850},   // OEM
    {1, 0},       // default: the document's code page
    {2, 0},       // symbol: the document's code page stands in
}};

}  // namespace

unsigned codePageOfCharset(int charset) {
    for (const auto& [set, codePage] : kCharsetCodePages) {
        if (set == charset)
            return codePage;
    }
    return 0;
}

bool isAsciiCompatible(unsigned codePage) {
    if (codePage == 65001)
        return true;
    for (const auto& [set, page] : kCharsetCodePages) {
        if (page == codePage && page != 0)
            return true;
    }
    return false;
}

}  // namespace lumenreel
