#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "base/ReplacingFile.h"
#include "sound/WaveFormat.h"

namespace lumenreel {

inline constexpr std::size_t kWavHeaderBytes = 44;

// The header of a PCM WAV file holding `dataBytes` of samples (then a pad byte if odd).
std::array<std::uint8_t, kWavHeaderBytes> wavHeader(const WaveFormat& format,
                                                    std::uint32_t dataBytes);

// Writes a PCM WAV file as the samples come; the chunk sizes are filled in by Finish, and only
// then does the file appear under its name.
class WavFileWriter {
public:
    // Largest data chunk the 32-bit RIFF sizes can describe.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

    WavFileWriter(const std::filesystem::path& path, const WaveFormat& format);
    bool IsOpen() const { return m_file.isOpen(); }
    // False when the file cannot take the bytes (a write error or past the RIFF limit).
    bool Append(std::span<const std::uint8_t> samples);
    bool Finish();
    // Why the file could not be written.
    const std::string& error() const { return m_file.error(); }

private:
    ReplacingFile m_file;
    WaveFormat m_format;
    std::uint64_t m_dataBytes = 0;
};

}  // namespace lumenreel
