#include "storage/Base64.h"

#include <array>

namespace lumenreel {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kPadding = -2;
constexpr int kInvalid = -1;

constexpr std::array<int, 256> makeDecodeTable() {
    std::array<int, 256> table{};
    for (int& entry : table)
        entry = kInvalid;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    table['='] = kPadding;
    return table;
}
constexpr std::array<int, 256> kDecode = makeDecodeTable();

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t group = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            text += kAlphabet[(group >> shift) & 63];
    }
    std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = bytes[i] << 16 | (rest == 2 ? bytes[i + 1] << 8 : 0);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    int quad[4];
    int filled = 0;
    int padding = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        char c = text[at++];
        if (isSpace(c))
            continue;
        int value = kDecode[static_cast<unsigned char>(c)];
        if (value == kInvalid)
            return std::nullopt;
        if (value == kPadding) {
            // Padding only fills the last one or two places of the final quad.
            if (filled < 2)
                return std::nullopt;
            ++padding;
        } else if (padding > 0) {
            return std::nullopt;
        }
        quad[filled++] = value == kPadding ? 0 : value;
        if (filled < 4)
            continue;
        std::uint32_t group = quad[0] << 18 | quad[1] << 12 | quad[2] << 6 | quad[3];
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2)
            bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        if (padding < 1)
            bytes.push_back(static_cast<std::uint8_t>(group));
        filled = 0;
        if (padding > 0)
            break;
    }
    if (filled != 0)
        return std::nullopt;
    // Nothing but white space may follow a padded quad.
    for (; at < text.size(); ++at) {
        if (!isSpace(text[at]))
            return std::nullopt;
    }
    return bytes;
}

}  // namespace lumenreel
