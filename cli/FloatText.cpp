#include "cli/FloatText.h"

#include <charconv>

namespace lumenreel::cli {

std::string floatText(float value) {
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

}  // namespace lumenreel::cli
