#pragma once

#include <filesystem>
#include <string_view>

namespace lumenreel::cli {

// The program of that name installed beside the running one.
std::filesystem::path siblingProgram(std::string_view name);

}  // namespace lumenreel::cli
