#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>

#include "sound/WaveFormat.h"

namespace lumenreel {

// Writes a PCM WAV file as the samples come; the chunk sizes are filled in by Finish.
class WavFileWriter {
public:
    // Largest data chunk the 32-bit RIFF sizes can describe.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

    WavFileWriter(const std::filesystem::path& path, const WaveFormat& format);
    bool IsOpen() const { return m_file.is_open() && m_file.good(); }
    // False when the file cannot take the bytes (a write error or past the RIFF limit).
    bool Append(std::span<const std::uint8_t> samples);
    bool Finish();

private:
    std::ofstream m_file;
    WaveFormat m_format;
    std::uint64_t m_dataBytes = 0;
};

}  // namespace lumenreel
