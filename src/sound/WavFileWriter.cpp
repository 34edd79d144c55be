#include "sound/WavFileWriter.h"

#include <array>
#include <cstring>

#include "base/ByteOrder.h"

namespace lumenreel {

std::array<std::uint8_t, kWavHeaderBytes> wavHeader(const WaveFormat& format,
                                                    std::uint32_t dataBytes) {
    std::array<std::uint8_t, kWavHeaderBytes> out{};
    std::uint8_t* at = out.data();
    std::memcpy(at, "RIFF", 4);
    // A pad byte follows an odd data chunk and counts in the RIFF size.
    storeLE<std::uint32_t>(at + 4, 36 + dataBytes + (dataBytes & 1));
    std::memcpy(at + 8, "WAVEfmt ", 8);
    storeLE<std::uint32_t>(at + 16, 16);
    auto record = format.toRecord();
    std::memcpy(at + 20, record.data(), 16);
    std::memcpy(at + 36, "data", 4);
    storeLE<std::uint32_t>(at + 40, dataBytes);
    return out;
}

WavFileWriter::WavFileWriter(const std::filesystem::path& path, const WaveFormat& format)
    : m_file(path), m_format(format) {
    if (m_file.open())
        m_file.write(wavHeader(format, 0));
}

bool WavFileWriter::Append(std::span<const std::uint8_t> samples) {
    if (m_dataBytes + samples.size() > kMaxDataBytes)
        return false;
    m_dataBytes += samples.size();
    return m_file.write(samples);
}

bool WavFileWriter::Finish() {
    constexpr std::uint8_t kPad[1] = {0};
    if ((m_dataBytes & 1) && !m_file.write(kPad))
        return false;
    return m_file.writeAt(0, wavHeader(m_format, static_cast<std::uint32_t>(m_dataBytes))) &&
           m_file.commit();
}

}  // namespace lumenreel
