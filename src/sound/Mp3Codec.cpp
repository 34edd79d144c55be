#include "sound/Mp3Codec.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace lumenreel {
namespace {

ssize_t readSource(void* source, void* buffer, size_t count) {
    return static_cast<ssize_t>(static_cast<ByteSource*>(source)->read(buffer, count));
}

off_t seekSource(void* source, off_t offset, int whence) {
    auto* bytes = static_cast<ByteSource*>(source);
    auto origin = whence == SEEK_SET   ? ByteSource::Origin::set
                  : whence == SEEK_END ? ByteSource::Origin::end
                                       : ByteSource::Origin::current;
    if (!bytes->seek(offset, origin))
        return -1;
    return static_cast<off_t>(bytes->tell());
}

constexpr int kMaxEmptyReadsInRow = 1000;

bool libraryReady() {
    // Older libraries need one global initialisation, which is not thread-safe.
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

}  // namespace

Mp3Codec::Mp3Codec() {
    if (libraryReady())
        m_handle = mpg123_new(nullptr, nullptr);
}

Mp3Codec::~Mp3Codec() {
    if (m_handle == nullptr)
        return;
    if (m_open)
        mpg123_close(m_handle);
    mpg123_delete(m_handle);
}

bool Mp3Codec::open(ByteSource& source) {
    if (m_handle == nullptr || m_open)
        return false;
    mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Every rate and channel count, but only the sample layout the writer plays.
    mpg123_format_none(m_handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_replace_reader_handle(m_handle, readSource, seekSource, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_handle, &source) != MPG123_OK) {
        return false;
    }
    m_open = true;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0 || encoding != MPG123_ENC_SIGNED_16) {
        return false;
    }
    m_rate = static_cast<std::uint32_t>(rate);
    m_channels = static_cast<std::uint16_t>(channels);
    // The exact length needs a pass over the frames, cheap for a soundtrack held in memory.
    mpg123_scan(m_handle);
    off_t samples = mpg123_length(m_handle);
    m_totalTime = samples > 0 ? static_cast<double>(samples) / m_rate : 0.0;
    return true;
}

long Mp3Codec::read(std::span<std::uint8_t> out) {
    if (!m_open || m_channels == 0)
        return kEnd;
    size_t done = 0;
    int status = mpg123_read(m_handle, out.data(), out.size(), &done);
    if (status == MPG123_NEW_FORMAT) {
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(m_handle, &rate, &channels, &encoding);
        // A stream that changes its layout midway would play as noise in the first one's.
        if (rate != static_cast<long>(m_rate) || channels != m_channels)
            return breakOff();
        return done > 0 ? static_cast<long>(done) : kHole;
    }
    if (done > 0) {
        m_emptyReadsInRow = 0;
        return static_cast<long>(done);
    }
    // An OK without output happens while the decoder resyncs; it must not loop forever.
    if (status == MPG123_OK && ++m_emptyReadsInRow <= kMaxEmptyReadsInRow)
        return kHole;
    return status == MPG123_DONE ? kEnd : breakOff();
}

bool Mp3Codec::seekTime(double seconds) {
    if (!m_open || !(seconds >= 0.0))
        return false;
    m_emptyReadsInRow = 0;
    resumeAfterSeek();
    // Past the end lands at the end; the cap keeps the sample number inside its type.
    auto sample = static_cast<off_t>(std::floor(std::min(seconds, 1e7) * m_rate));
    return mpg123_seek(m_handle, sample, SEEK_SET) >= 0;
}

double Mp3Codec::totalTime() const {
    return m_totalTime;
}

}  // namespace lumenreel
