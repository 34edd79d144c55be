#include <algorithm>
#include <limits>

#include "sound/WaveSoundResource.h"

// The authoring side's edits. Each works on a new buffer and swaps it in, so a refused edit
// leaves the resource as it was.

namespace {
constexpr std::uint64_t kMaxDataSize = std::numeric_limits<std::uint32_t>::max();
}

void CWaveSoundResource::ExtractRange(CWaveSoundResource& target, float from, float to) const {
    std::uint32_t a = ByteOffset(from);
    std::uint32_t b = ByteOffset(to);
    std::vector<std::uint8_t> bytes;
    if (a < b)
        bytes.assign(m_data.begin() + a, m_data.begin() + b);
    target.SetData(std::move(bytes), &m_format);
}

void CWaveSoundResource::Concatenate(std::span<const CWaveSoundResource* const> list) {
    const CWaveSoundResource* first = nullptr;
    std::vector<std::uint8_t> joined;
    for (const CWaveSoundResource* part : list) {
        if (part == nullptr || part->m_data.empty())
            continue;
        if (first == nullptr)
            first = part;
        // Bytes of another layout would play as noise in this one.
        if (!first->IsCompatible(*part))
            continue;
        if (joined.size() + part->m_data.size() > kMaxDataSize)
            break;
        joined.insert(joined.end(), part->m_data.begin(), part->m_data.end());
    }
    lumenreel::WaveFormat format = first ? first->m_format : lumenreel::WaveFormat{};
    SetData(std::move(joined), &format);
}

bool CWaveSoundResource::InsertAt(const CWaveSoundResource& other, float t) {
    if (other.m_data.empty())
        return true;
    if (m_data.empty()) {
        CopyFrom(other);
        return true;
    }
    if (!IsCompatible(other) || m_data.size() + other.m_data.size() > kMaxDataSize)
        return false;
    std::vector<std::uint8_t> bytes = m_data;
    bytes.insert(bytes.begin() + ByteOffset(t), other.m_data.begin(), other.m_data.end());
    ReplaceData(std::move(bytes));
    return true;
}

bool CWaveSoundResource::InsertSilence(float t, float length) {
    std::uint64_t at = AlignedOffset(t);
    std::uint64_t room = AlignedOffset(length);
    if (room == 0)
        return true;
    if (std::max<std::uint64_t>(at, m_data.size()) + room > kMaxDataSize)
        return false;
    std::vector<std::uint8_t> bytes = m_data;
    if (at > bytes.size())
        bytes.resize(at, SilenceValue());
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), room, SilenceValue());
    ReplaceData(std::move(bytes));
    return true;
}

bool CWaveSoundResource::OverwriteAt(const CWaveSoundResource& other, float t) {
    if (m_data.empty() && !MakeSilence(t, other.m_format))
        return false;
    if (!IsCompatible(other))
        return false;
    std::uint64_t at = AlignedOffset(t);
    std::uint64_t end = at + other.m_data.size();
    if (end > kMaxDataSize)
        return false;
    std::vector<std::uint8_t> bytes = m_data;
    if (end > bytes.size())
        bytes.resize(end, SilenceValue());
    std::copy(other.m_data.begin(), other.m_data.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(at));
    if (m_format.formatTag == 0)
        m_format = other.m_format;
    ReplaceData(std::move(bytes));
    return true;
}

void CWaveSoundResource::DeleteRange(float from, float to) {
    std::uint32_t a = ByteOffset(from);
    std::uint32_t b = ByteOffset(to);
    if (a >= b)
        return;
    std::vector<std::uint8_t> bytes = m_data;
    bytes.erase(bytes.begin() + a, bytes.begin() + b);
    ReplaceData(std::move(bytes));
}

void CWaveSoundResource::SilenceRange(float from, float to) {
    std::uint32_t a = ByteOffset(from);
    std::uint32_t b = ByteOffset(to);
    if (a >= b)
        return;
    std::vector<std::uint8_t> bytes = m_data;
    FillSilence(std::span(bytes).subspan(a, b - a));
    ReplaceData(std::move(bytes));
}

bool CWaveSoundResource::MakeSilence(float length, const lumenreel::WaveFormat& format) {
    CloseDevice();
    lumenreel::WaveFormat previous = m_format;
    m_format = format;
    std::uint32_t size = AlignedOffset(length);
    if (size >= kMaxDataSize) {
        m_format = previous;
        return false;
    }
    ReplaceData(Silence(size));
    // Silence of no length is still a resource of this format (an edit may fill it next).
    return true;
}
