#include "cli/FloatText.h"

#include <charconv>

namespace lumenreel::cli {

std::string floatText(float value) {
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string secondsNumber(float value) {
    std::string text = floatText(value);
    if (text.find_first_not_of("-0123456789") == std::string::npos)
        text += ".0";
    return text;
}

std::string secondsText(float value) {
    return secondsNumber(value) + " s";
}

std::string pixelSizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height) + " pixels";
}

}  // namespace lumenreel::cli
