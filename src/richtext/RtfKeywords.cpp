#include "richtext/RtfKeywords.h"

#include <algorithm>
#include <iterator>

namespace lumenreel {
namespace {

constexpr std::string_view kSkippedDestinations[] = {
    "author",    "buptim",       "colorschememapping",
    "comment",   "creatim",      "datastore",
    "doccomm",   "fldinst",      "footer",
    "footerf",   "footerl",      "footerr",
    "footnote",  "header",       "headerf",
    "headerl",   "headerr",      "info",
    "keywords",  "latentstyles", "listoverridetable",
    "listtable", "object",       "operator",
    "pict",      "pn",           "revtbl",
    "rsidtbl",   "stylesheet",   "subject",
    "themedata", "title"};

// \ulc (the underline colour) and \ulnone are not among them.
constexpr std::string_view kUnderlineWords[] = {
    "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
    "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
    "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};

struct CharacterWord {
    std::string_view word;
    char32_t character;
};
constexpr CharacterWord kCharacterWords[] = {
    {"tab", U'\t'},           {"line", U'\n'},         {"cell", U'\t'},       {"emdash", U'\u2014'},
    {"endash", U'\u2013'},    {"bullet", U'\u2022'},   {"lquote", U'\u2018'}, {"rquote", U'\u2019'},
    {"ldblquote", U'\u201C'}, {"rdblquote", U'\u201D'}};

}  // namespace

bool isSkippedDestination(std::string_view word) {
    return std::ranges::find(kSkippedDestinations, word) != std::end(kSkippedDestinations);
}

bool isUnderlineWord(std::string_view word) {
    return std::ranges::find(kUnderlineWords, word) != std::end(kUnderlineWords);
}

std::optional<char32_t> characterOfWord(std::string_view word) {
    auto found = std::ranges::find(kCharacterWords, word, &CharacterWord::word);
    if (found == std::end(kCharacterWords))
        return std::nullopt;
    return found->character;
}

}  // namespace lumenreel
