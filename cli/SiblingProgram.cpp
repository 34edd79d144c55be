#include "cli/SiblingProgram.h"

#include <system_error>

namespace lumenreel::cli {

std::filesystem::path siblingProgram(std::string_view name) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return self.parent_path() / name;
}

}  // namespace lumenreel::cli
