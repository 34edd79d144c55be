#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/WavFileWriter.h"

namespace lumenreel::cli {

// The WAV file `lumenreel audio` writes: a file that appears only when complete, or standard
// output for "-", where the samples are held until their size is known (a pipe cannot go back
// to the header). Every failure ends the command (exit 2).
class WaveOutput {
public:
    WaveOutput(std::string output, const WaveFormat& format);

    void append(std::span<const std::uint8_t> samples);
    void finish();

private:
    [[noreturn]] void failed() const;

    std::string m_output;
    WaveFormat m_format;
    // None for standard output.
    std::optional<WavFileWriter> m_file;
    std::vector<std::uint8_t> m_held;
};

}  // namespace lumenreel::cli
