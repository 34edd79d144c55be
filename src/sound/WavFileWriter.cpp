#include "sound/WavFileWriter.h"

#include <array>
#include <cstring>

#include "base/ByteOrder.h"

namespace lumenreel {
namespace {

constexpr std::size_t kHeaderBytes = 44;

std::array<std::uint8_t, kHeaderBytes> header(const WaveFormat& format, std::uint32_t dataBytes) {
    std::array<std::uint8_t, kHeaderBytes> out{};
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

}  // namespace

WavFileWriter::WavFileWriter(const std::filesystem::path& path, const WaveFormat& format)
    : m_file(path, std::ios::binary | std::ios::trunc), m_format(format) {
    auto bytes = header(format, 0);
    m_file.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
}

bool WavFileWriter::Append(std::span<const std::uint8_t> samples) {
    if (m_dataBytes + samples.size() > kMaxDataBytes)
        return false;
    m_file.write(reinterpret_cast<const char*>(samples.data()),
                 static_cast<std::streamsize>(samples.size()));
    m_dataBytes += samples.size();
    return m_file.good();
}

bool WavFileWriter::Finish() {
    if (m_dataBytes & 1)
        m_file.put(0);
    auto bytes = header(m_format, static_cast<std::uint32_t>(m_dataBytes));
    m_file.seekp(0);
    m_file.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(kHeaderBytes));
    m_file.close();
    return !m_file.fail();
}

}  // namespace lumenreel
