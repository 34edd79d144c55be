#include "sound/WaveSoundResource.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sound/SilenceDetection.h"

const Guid CWaveSoundResource::kClassId =
    lumenreel::guidFromWords(0x29FB91C4, 0x46A77D47, 0x37911287, 0x635EBF7F);

CWaveSoundResource::CWaveSoundResource(lumenreel::OutputDeviceFactory devices)
    : m_devices(std::move(devices)) {}

CWaveSoundResource::~CWaveSoundResource() {
    CloseDevice();
}

std::uint32_t CWaveSoundResource::DataSize() const {
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(m_data.size(), std::numeric_limits<std::uint32_t>::max()));
}

float CWaveSoundResource::DurationOfData() const {
    if (m_data.empty() || m_format.avgBytesPerSec == 0)
        return 0.0f;
    return static_cast<float>(static_cast<double>(DataSize()) / m_format.avgBytesPerSec);
}

std::uint32_t CWaveSoundResource::AlignedOffset(float t) const {
    double bytes = static_cast<double>(t) * m_format.avgBytesPerSec;
    // Negative and unordered times start at 0; huge ones end at the largest offset.
    if (!(bytes > 0.0))
        return 0;
    std::uint32_t a = bytes >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(bytes);
    std::uint32_t frame = m_format.frameBytes();
    return frame == 0 ? a : a - a % frame;
}

std::uint32_t CWaveSoundResource::ByteOffset(float t) const {
    return std::min(AlignedOffset(t), DataSize());
}

float CWaveSoundResource::OffsetToTime(std::uint64_t offset) const {
    if (m_data.empty())
        return 0.0f;
    return static_cast<float>(static_cast<double>(DurationOfData()) * static_cast<double>(offset) /
                              static_cast<double>(DataSize()));
}

std::uint32_t CWaveSoundResource::SampleFrames() const {
    std::uint32_t frame = m_format.frameBytes();
    return frame == 0 ? 0 : DataSize() / frame;
}

bool CWaveSoundResource::IsCompatible(const CWaveSoundResource& other) const {
    if (m_data.empty() || other.m_data.empty())
        return true;
    const auto& a = m_format;
    const auto& b = other.m_format;
    return a.formatTag == b.formatTag && a.channels == b.channels &&
           a.samplesPerSec == b.samplesPerSec && a.avgBytesPerSec == b.avgBytesPerSec &&
           a.bitsPerSample == b.bitsPerSample;
}

bool CWaveSoundResource::OpenDevice() {
    if (m_device)
        return true;
    if (!m_format.isPcm() || !m_devices)
        return false;
    auto device = m_devices();
    if (!device ||
        !device->open(m_format.samplesPerSec, m_format.channels, m_format.bitsPerSample)) {
        return false;
    }
    m_device = std::move(device);
    return true;
}

void CWaveSoundResource::CloseDevice() {
    if (!m_device)
        return;
    UnprepareBuffer();
    m_prepared = false;
    m_device->close();
    m_device.reset();
}

bool CWaveSoundResource::PrepareBuffer(std::size_t offset, std::size_t length) {
    if (m_prepared)
        UnprepareBuffer();
    if (!m_device)
        return false;
    m_headerStart = std::min(offset, m_data.size());
    m_headerLength = std::min(length, m_data.size() - m_headerStart);
    m_prepared = true;
    return true;
}

void CWaveSoundResource::UnprepareBuffer() {
    if (!m_device || !m_prepared)
        return;
    m_device->reset();
    m_prepared = false;
    m_started = false;
}

void CWaveSoundResource::Play(float from, float to) {
    if (!m_device && !m_data.empty() && OpenDevice())
        PrepareBuffer(0, m_data.size());
    float duration = Duration();
    if (from >= to)
        to = duration;
    from = std::min(from, duration);
    to = std::min(to, duration);
    if (!m_device || !m_prepared)
        return;
    std::uint32_t a = ByteOffset(from);
    // "To the end" means the last byte: the float duration may round a frame short of it.
    std::uint32_t b = to >= duration ? DataSize() : ByteOffset(to);
    m_device->reset();
    if (a >= b)
        return;
    PrepareBuffer(a, b - a);
    // Always resume: a device paused before a Stop would otherwise stay silent.
    m_device->restart();
    m_device->write(std::span(m_data).subspan(m_headerStart, m_headerLength));
    m_device->drain();
    m_started = true;
}

bool CWaveSoundResource::IsPlaying() {
    if (!m_device || m_data.empty() || !m_prepared || !m_started)
        return false;
    return m_device->position() < m_headerLength;
}

float CWaveSoundResource::Position() {
    if (!IsPlaying())
        return 0.0f;
    std::uint64_t played = std::min<std::uint64_t>(m_device->position(), m_data.size());
    return OffsetToTime(m_headerStart + played);
}

bool CWaveSoundResource::GetPlayingSpan(float& from, float& to) {
    if (!IsPlaying())
        return false;
    from = OffsetToTime(m_headerStart);
    to = OffsetToTime(m_headerStart + m_headerLength);
    return true;
}

void CWaveSoundResource::Stop() {
    if (!m_device || !m_prepared)
        return;
    m_device->reset();
    m_started = false;
}

void CWaveSoundResource::Pause(bool flag) {
    if (m_data.empty() || !IsPlaying())
        return;
    if (flag) {
        m_device->pause();
    } else {
        m_device->restart();
    }
}

void CWaveSoundResource::SetData(std::vector<std::uint8_t> data,
                                 const lumenreel::WaveFormat* format) {
    CloseDevice();
    m_data = std::move(data);
    if (format != nullptr)
        m_format = *format;
    if (m_data.empty())
        m_format = {};
    UpdateLevels();
}

void CWaveSoundResource::ReplaceData(std::vector<std::uint8_t> data) {
    CloseDevice();
    m_data = std::move(data);
    UpdateLevels();
}

void CWaveSoundResource::CopyFrom(const CWaveSoundResource& other) {
    if (&other == this)
        return;
    CloseDevice();
    m_format = other.m_format;
    ReplaceData(other.m_data);
}

std::uint8_t CWaveSoundResource::SilenceValue() const {
    return m_format.bitsPerSample == 8 ? 128 : 0;
}

void CWaveSoundResource::FillSilence(std::span<std::uint8_t> buffer) const {
    std::fill(buffer.begin(), buffer.end(), SilenceValue());
}

std::vector<std::uint8_t> CWaveSoundResource::Silence(std::size_t length) const {
    return std::vector<std::uint8_t>(length, SilenceValue());
}

void CWaveSoundResource::UpdateLevels() {
    auto levels = lumenreel::sampleLevels(m_data, m_format.bitsPerSample);
    m_minLevel = levels.min;
    m_maxLevel = levels.max;
}

bool CWaveSoundResource::IsSilent() const {
    return CSilenceDetection::IsSilent(m_data, m_format.bitsPerSample);
}
