#include "storage/SerializeInterfaceXMLText.h"

#include <charconv>
#include <limits>
#include <string>

#include "base/ByteOrder.h"

namespace lumenreel {
namespace {

template <class T>
std::string integerText(T value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string fixedPointText(double value) {
    char text[400];  // the widest double in fixed notation has 309 digits before the point
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

// The C library's reading of a leading integer, without its locale: optional white space and
// sign, then digits; anything else ends the number. Wraps modulo 2^64 like strtoull.
std::uint64_t leadingInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
    }
    return negative ? 0 - value : value;
}

double leadingDouble(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    if (at < text.size() && text[at] == '+')
        ++at;
    double value = 0;
    auto result = std::from_chars(text.data() + at, text.data() + text.size(), value);
    return result.ec == std::errc{} || result.ec == std::errc::result_out_of_range ? value : 0.0;
}

// Narrowing keeps out-of-range values as infinities instead of leaving them undefined.
float narrowToFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

std::string scalarToXmlText(ValueKind kind, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* b = bytes.data();
    switch (kind) {
        case ValueKind::Int8:
            return integerText(unsigned{b[0]});
        case ValueKind::Bool:
            return b[0] != 0 ? "true" : "false";
        case ValueKind::Int16:
            return integerText(loadLE<std::uint16_t>(b));
        case ValueKind::Int32:
            return integerText(loadLE<std::int32_t>(b));
        case ValueKind::UInt64:
            return integerText(loadLE<std::uint64_t>(b));
        case ValueKind::Int64:
            return integerText(loadLE<std::int64_t>(b));
        case ValueKind::Float:
            return fixedPointText(loadLE<float>(b));
        case ValueKind::Double:
            return fixedPointText(loadLE<double>(b));
        default:
            return {};
    }
}

bool scalarFromXmlText(ValueKind kind, std::string_view text, std::span<std::uint8_t> bytes) {
    std::uint8_t* b = bytes.data();
    std::uint64_t integer = leadingInteger(text);
    switch (kind) {
        case ValueKind::Int8:
            b[0] = static_cast<std::uint8_t>(integer);
            return true;
        case ValueKind::Bool:
            b[0] = text == "true" ? 1 : 0;
            return true;
        case ValueKind::Int16:
            storeLE(b, static_cast<std::uint16_t>(integer));
            return true;
        case ValueKind::Int32:
            storeLE(b, static_cast<std::uint32_t>(integer));
            return true;
        case ValueKind::UInt64:
        case ValueKind::Int64:
            storeLE(b, integer);
            return true;
        case ValueKind::Float:
            storeLE(b, narrowToFloat(leadingDouble(text)));
            return true;
        case ValueKind::Double:
            storeLE(b, leadingDouble(text));
            return true;
        default:
            return false;
    }
}

}  // namespace lumenreel
