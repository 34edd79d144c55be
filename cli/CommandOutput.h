#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/ReplacingFile.h"

namespace lumenreel::cli {

// "-" as an output's name: standard output, for outputs that are one stream of bytes.
bool namesStandardOutput(const std::string& output);

// Where a command's one stream of bytes goes: standard output for "-", otherwise a file written
// beside its name and renamed over it by commit(). Every failure ends the command (exit 2).
class CommandOutput {
public:
    explicit CommandOutput(std::string name, mode_t mode = 0644);

    void write(std::span<const std::uint8_t> bytes);
    void commit();

private:
    std::string m_name;
    // None for standard output.
    std::optional<ReplacingFile> m_file;
};

// The whole output at once.
void writeOutputOrExit(const std::string& output, std::span<const std::uint8_t> bytes,
                       mode_t mode = 0644);

}  // namespace lumenreel::cli
