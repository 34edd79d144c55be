#include "sound/VorbisCodec.h"

#include <cstdio>

namespace lumenreel {
namespace {

// A damaged stream may report holes without end; past this many in a row it is given up.
constexpr int kMaxHolesInRow = 1000;

std::size_t readSource(void* buffer, std::size_t size, std::size_t count, void* source) {
    if (size == 0)
        return 0;
    return static_cast<ByteSource*>(source)->read(buffer, size * count) / size;
}

int seekSource(void* source, ogg_int64_t offset, int whence) {
    auto origin = whence == SEEK_SET   ? ByteSource::Origin::set
                  : whence == SEEK_END ? ByteSource::Origin::end
                                       : ByteSource::Origin::current;
    return static_cast<ByteSource*>(source)->seek(offset, origin) ? 0 : -1;
}

long tellSource(void* source) {
    return static_cast<long>(static_cast<ByteSource*>(source)->tell());
}

}  // namespace

VorbisCodec::~VorbisCodec() {
    if (m_open)
        ov_clear(&m_file);
}

bool VorbisCodec::open(ByteSource& source) {
    if (m_open)
        return false;
    // The source is owned by the caller, so the library gets no close function.
    ov_callbacks callbacks{readSource, seekSource, nullptr, tellSource};
    if (ov_open_callbacks(&source, &m_file, nullptr, 0, callbacks) != 0)
        return false;
    m_open = true;
    vorbis_info* info = ov_info(&m_file, 0);
    if (info == nullptr || info->channels <= 0 || info->channels > 255 || info->rate <= 0) {
        return false;
    }
    m_rate = static_cast<std::uint32_t>(info->rate);
    m_channels = static_cast<std::uint16_t>(info->channels);
    return true;
}

long VorbisCodec::read(std::span<std::uint8_t> out) {
    if (!m_open || m_channels == 0)
        return kEnd;
    int section = m_section;
    long n = ov_read(&m_file, reinterpret_cast<char*>(out.data()), static_cast<int>(out.size()), 0,
                     2, 1, &section);
    if (n == OV_HOLE)
        return ++m_holesInRow > kMaxHolesInRow ? breakOff() : kHole;
    if (n < 0)
        return breakOff();
    m_holesInRow = 0;
    if (n > 0 && section != m_section) {
        // A chained stream may change its layout; playing it in the first one's would be noise.
        vorbis_info* info = ov_info(&m_file, section);
        if (info == nullptr || info->channels != m_channels ||
            info->rate != static_cast<long>(m_rate)) {
            return breakOff();
        }
        m_section = section;
    }
    return n;
}

bool VorbisCodec::seekable() const {
    return m_open && ov_seekable(&m_file) != 0;
}

bool VorbisCodec::seekTime(double seconds) {
    if (!m_open)
        return false;
    m_holesInRow = 0;
    resumeAfterSeek();
    return ov_time_seek(&m_file, seconds) == 0;
}

double VorbisCodec::totalTime() const {
    if (!m_open)
        return 0.0;
    double total = ov_time_total(&m_file, 0);
    return total < 0 ? 0.0 : total;
}

}  // namespace lumenreel
