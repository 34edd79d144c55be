#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A 128-bit identifier kept in its standard binary layout (first three groups little-endian), so
// the bytes can be compared with and written to files as they are.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; braces optional. A malformed text is a
    // compile-time error in constant expressions and gives the nil identifier at run time.
    static constexpr Guid fromString(std::string_view text);
    static Guid fromBytes(std::span<const std::uint8_t> sixteen);

    std::string toString() const;
    friend bool operator==(const Guid&, const Guid&) = default;

private:
    static constexpr int hexValue(char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    }
};

constexpr Guid Guid::fromString(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, 36);
    }
    Guid nil{};
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-') {
        return nil;
    }
    // Text digit pairs in display order; the first three groups are stored byte-reversed.
    constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::uint8_t display[16]{};
    int pair = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-')
            continue;
        int high = hexValue(text[i]);
        int low = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        if (high < 0 || low < 0 || pair >= 16)
            return nil;
        display[pair++] = static_cast<std::uint8_t>(high * 16 + low);
        ++i;
    }
    if (pair != 16)
        return nil;
    Guid guid{};
    for (int i = 0; i < 16; ++i)
        guid.bytes[i] = display[order[i]];
    return guid;
}
