#pragma once

#include <string>

namespace lumenreel::cli {

// The shortest text that reads back as the same float ("6", "0.5", "1e-05").
std::string floatText(float value);
// A time for people to read: its shortest text with at least one decimal ("74.0", "9.5").
std::string secondsNumber(float value);
// The same with its unit: "74.0 s".
std::string secondsText(float value);
// A picture size for people to read: "1024x768 pixels".
std::string pixelSizeText(int width, int height);

}  // namespace lumenreel::cli
