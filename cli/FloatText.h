#pragma once

#include <string>

namespace lumenreel::cli {

// The shortest text that reads back as the same float ("6", "0.5", "1e-05").
std::string floatText(float value);

}  // namespace lumenreel::cli
