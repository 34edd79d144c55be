#include "base/CodePage.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace lumenreel {
namespace {

std::atomic<unsigned> currentCodePage{kDefaultAnsiCodePage};

std::string iconvName(unsigned codePage) {
    switch (codePage) {
        case 65001:
            return "UTF-8";
        case 1200:
            return "UTF-16LE";
        case 20127:
            return "ASCII";
        case 28591:
            return "ISO-8859-1";
        default:
            return "CP" + std::to_string(codePage);
    }
}

// One iconv conversion with a substitute for what cannot be converted.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : m_handle(iconv_open(to.c_str(), from.c_str())), m_fromUtf8(from == "UTF-8") {}
    ~Converter() {
        if (valid())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::string convert(std::string_view input, std::string_view substitute) {
        std::string output;
        char buffer[1024];
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                // An invalid or unconvertible sequence: substitute one input unit and go on.
                output.append(substitute);
                size_t unit = 1;
                if (m_fromUtf8) {
                    while (unit < inLeft && (static_cast<unsigned char>(in[unit]) & 0xC0) == 0x80) {
                        ++unit;
                    }
                }
                in += unit;
                inLeft -= unit;
                iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_handle, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        return output;
    }

private:
    iconv_t m_handle;
    bool m_fromUtf8;
};

}  // namespace

unsigned ansiCodePage() {
    return currentCodePage.load();
}
void setAnsiCodePage(unsigned codePage) {
    currentCodePage.store(codePage);
}

std::string asciiOrSubstitute(std::string_view text, TextKind kind, std::string_view substitute) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        out += substitute;
        // The rest of a UTF-8 sequence belongs to the same character.
        if (kind == TextKind::utf8)
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
                ++i;
    }
    return out;
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
    Converter converter("UTF-8", iconvName(codePage));
    if (converter.valid())
        return converter.convert(bytes, "\xEF\xBF\xBD");
    if (codePage != kDefaultAnsiCodePage)
        return codePageToUtf8(bytes, kDefaultAnsiCodePage);
    return asciiOrSubstitute(bytes, TextKind::codePage, "\xEF\xBF\xBD");
}

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
    Converter converter(iconvName(codePage), "UTF-8");
    if (converter.valid())
        return converter.convert(utf8, "?");
    if (codePage != kDefaultAnsiCodePage)
        return utf8ToCodePage(utf8, kDefaultAnsiCodePage);
    return asciiOrSubstitute(utf8, TextKind::utf8, "?");
}

char ansiToUpperChar(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z')
        return static_cast<char>(u - 32);
    if (ansiCodePage() != kDefaultAnsiCodePage)
        return c;
    // Windows-1252 lower-case letters with an upper-case partner in the same page.
    if ((u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 32);
    switch (u) {
        case 0x9A:
            return static_cast<char>(0x8A);  // s caron
        case 0x9C:
            return static_cast<char>(0x8C);  // oe
        case 0x9E:
            return static_cast<char>(0x8E);  // z caron
        case 0xFF:
            return static_cast<char>(0x9F);  // y diaeresis
        default:
            return c;
    }
}

std::string ansiToUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = ansiToUpperChar(c);
    return upper;
}

int ansiCompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(ansiToUpperChar(a[i]));
        auto y = static_cast<unsigned char>(ansiToUpperChar(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace lumenreel
