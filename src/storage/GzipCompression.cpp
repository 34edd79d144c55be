#include "storage/GzipCompression.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/ByteOrder.h"
#include "base/ByteReader.h"

namespace {

constexpr std::uint8_t kMagic0 = 0x1F;
constexpr std::uint8_t kMagic1 = 0x8B;
constexpr std::uint8_t kMethodDeflate = 8;
constexpr int kRawWindowBits = -15;
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kTrailerSize = 8;
// Deflate cannot expand more than this, which bounds what a member's length field may claim.
constexpr std::size_t kMaxInflateRatio = 1032;
// What a stated length is believed up to before any data has arrived.
constexpr std::size_t kFirstGuessBytes = std::size_t{16} << 20;

enum HeaderFlag : std::uint8_t {
    kHeaderCrc = 0x02,
    kExtra = 0x04,
    kName = 0x08,
    kComment = 0x10,
    kReserved = 0xE0,
};

// Growth in whole steps, at least by half, so that results of unknown size cost linear copying.
std::size_t grownCapacity(std::size_t needed, std::size_t current) {
    if (needed <= lumenreel::kGzipBufferStep)
        return lumenreel::kGzipBufferStep;
    std::size_t wanted = std::max(needed, current + current / 2);
    return (wanted / lumenreel::kGzipBufferStep + 1) * lumenreel::kGzipBufferStep;
}

uInt chunk(std::size_t count) {
    return static_cast<uInt>(std::min<std::size_t>(count, UINT_MAX));
}

bool hasMagic(const std::uint8_t* data, std::size_t length) {
    return length >= 2 && data[0] == kMagic0 && data[1] == kMagic1;
}

bool skipZeroTerminated(lumenreel::ByteReader& reader) {
    while (reader.canRead(1)) {
        if (reader.u8() == 0)
            return true;
    }
    return false;
}

// Leaves the reader at the deflate data; false for a header that is not ours to inflate.
bool skipMemberHeader(lumenreel::ByteReader& reader) {
    if (reader.u8() != kMagic0 || reader.u8() != kMagic1)
        return false;
    std::uint8_t method = reader.u8();
    std::uint8_t flags = reader.u8();
    if (!reader.ok() || method != kMethodDeflate || (flags & kReserved) != 0)
        return false;
    reader.skip(6);  // time, extra flags, system
    if (flags & kExtra)
        reader.skip(reader.u16());
    if ((flags & kName) && !skipZeroTerminated(reader))
        return false;
    if ((flags & kComment) && !skipZeroTerminated(reader))
        return false;
    if (flags & kHeaderCrc)
        reader.skip(2);
    return reader.ok();
}

}  // namespace

// ---- GzipMemWriter

GzipMemWriter::GzipMemWriter(const void* data, std::size_t length, int level) {
    if (!data)
        return;
    if (length == kMeasureString)
        length = std::strlen(static_cast<const char*>(data));
    compress(static_cast<const std::uint8_t*>(data), length, level);
}

void GzipMemWriter::reserve(std::size_t needed) {
    if (needed > m_buffer.size())
        m_buffer.resize(grownCapacity(needed, m_buffer.size()));
}

void GzipMemWriter::append(const void* bytes, std::size_t count) {
    reserve(m_size + count);
    std::memcpy(m_buffer.data() + m_size, bytes, count);
    m_size += count;
}

void GzipMemWriter::compress(const std::uint8_t* data, std::size_t length, int level) {
    z_stream stream{};
    m_status = deflateInit2(&stream, level, Z_DEFLATED, kRawWindowBits, 8, Z_DEFAULT_STRATEGY);
    if (m_status != Z_OK)
        return;
    // Small results get a buffer of their own size: many blobs are tiny.
    std::size_t bound = deflateBound(&stream, length) + kHeaderSize + kTrailerSize;
    m_buffer.resize(std::min(bound, lumenreel::kGzipBufferStep));

    const std::uint8_t header[kHeaderSize] = {kMagic0, kMagic1, kMethodDeflate, 0, 0, 0, 0, 0,
                                              0,       0x0B};
    append(header, sizeof header);

    // Deflate writes straight into the result and takes the whole input at once: the fewer
    // calls, the faster.
    stream.next_in = const_cast<Bytef*>(data);
    std::size_t inputLeft = length;
    for (;;) {
        if (m_size == m_buffer.size())
            reserve(m_size + 1);
        if (stream.avail_in == 0 && inputLeft != 0) {
            stream.avail_in = chunk(inputLeft);
            inputLeft -= stream.avail_in;
        }
        stream.next_out = m_buffer.data() + m_size;
        stream.avail_out = chunk(m_buffer.size() - m_size);
        uInt room = stream.avail_out;
        m_status = deflate(&stream, inputLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
        m_size += room - stream.avail_out;
        if (m_status == Z_STREAM_END)
            break;
        bool progress = m_status == Z_OK || (m_status == Z_BUF_ERROR && stream.avail_out == 0);
        if (!progress)
            break;
    }
    deflateEnd(&stream);
    if (m_status != Z_STREAM_END)
        return;

    std::uint8_t trailer[kTrailerSize];
    lumenreel::storeLE<std::uint32_t>(trailer,
                                      static_cast<std::uint32_t>(crc32_z(0, data, length)));
    lumenreel::storeLE<std::uint32_t>(trailer + 4, static_cast<std::uint32_t>(stream.total_in));
    append(trailer, sizeof trailer);
    m_status = Z_OK;
    m_complete = true;
}

std::vector<std::uint8_t> GzipMemWriter::Detach() {
    m_buffer.resize(m_size);
    m_size = 0;
    m_complete = false;
    return std::move(m_buffer);
}

// ---- GzipMemReader

GzipMemReader::GzipMemReader(const void* data, std::size_t length, std::size_t outputLimit)
    : m_limit(outputLimit) {
    auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes || length == 0) {
        terminate();
    } else if (!hasMagic(bytes, length)) {
        copyTransparent(bytes, length);
    } else {
        decompress(bytes, length);
    }
}

void GzipMemReader::allocate(std::size_t capacity) {
    m_buffer.resize(capacity + 1);
}

void GzipMemReader::reserve(std::size_t needed) {
    if (needed + 1 <= m_buffer.size())
        return;
    std::size_t capacity = grownCapacity(needed, GetCapacity());
    // Within twice what has arrived, the stated length is taken at its word: the result then
    // ends exactly sized, and a false claim costs no more than growing would have.
    if (m_expected >= needed && m_expected / 2 <= needed)
        capacity = m_expected;
    m_buffer.resize(capacity + 1);
}

void GzipMemReader::terminate() {
    if (m_buffer.size() <= m_size)
        m_buffer.resize(m_size + 1);
    m_buffer[m_size] = 0;
}

void GzipMemReader::copyTransparent(const std::uint8_t* data, std::size_t length) {
    m_transparent = true;
    std::size_t count = std::min(length, m_limit);
    m_truncated = count < length;
    m_buffer.reserve(count + 1);
    m_buffer.assign(data, data + count);
    m_size = count;
    terminate();
}

void GzipMemReader::decompress(const std::uint8_t* data, std::size_t length) {
    // The last member's length field says how much to expect: one allocation for the usual single
    // member, bounded by what the input could possibly expand to. One damaged byte can make it
    // claim far more than the data holds, so beyond a first guess it is believed only once the
    // output comes close to it (see reserve).
    std::size_t expected = length >= kTrailerSize ? lumenreel::loadU32(data + length - 4) : 0;
    std::size_t possible =
        length > SIZE_MAX / kMaxInflateRatio ? SIZE_MAX : length * kMaxInflateRatio;
    m_expected = std::min({expected, possible, m_limit});
    allocate(std::min(m_expected, kFirstGuessBytes));

    z_stream stream{};
    m_status = inflateInit2(&stream, kRawWindowBits);
    if (m_status != Z_OK) {
        m_bad = true;
        terminate();
        return;
    }

    std::size_t position = 0;
    while (!m_bad && !m_truncated && hasMagic(data + position, length - position)) {
        lumenreel::ByteReader header({data + position, length - position});
        if (!skipMemberHeader(header)) {
            m_bad = true;
            break;
        }
        position += header.position();
        inflateReset(&stream);
        uLong crc = crc32(0, nullptr, 0);

        for (;;) {
            // At the limit, one byte more into a scratch byte tells whether anything was cut off.
            std::uint8_t scratch;
            bool atLimit = m_size >= m_limit;
            if (!atLimit && m_size + 1 > GetCapacity())
                reserve(m_size + 1);
            stream.next_in = const_cast<Bytef*>(data + position);
            stream.avail_in = chunk(length - position);
            stream.next_out = atLimit ? &scratch : m_buffer.data() + m_size;
            stream.avail_out = atLimit ? 1 : chunk(std::min(GetCapacity(), m_limit) - m_size);
            uInt inputGiven = stream.avail_in;
            uInt room = stream.avail_out;
            m_status = inflate(&stream, Z_NO_FLUSH);
            position += inputGiven - stream.avail_in;
            std::size_t produced = room - stream.avail_out;
            if (atLimit && produced != 0) {
                m_truncated = true;
                break;
            }
            crc = crc32_z(crc, m_buffer.data() + m_size, produced);
            m_size += produced;
            if (m_status == Z_STREAM_END)
                break;
            bool progress = m_status == Z_OK || (m_status == Z_BUF_ERROR && stream.avail_out == 0);
            if (!progress) {
                m_bad = true;  // bad data, or the input ended inside the member
                break;
            }
        }
        if (m_status != Z_STREAM_END)
            break;

        lumenreel::ByteReader trailer({data + position, length - position});
        std::uint32_t storedCrc = trailer.u32();
        trailer.u32();  // the length is implied by the data
        if (!trailer.ok() || storedCrc != static_cast<std::uint32_t>(crc)) {
            m_bad = true;
            break;
        }
        position += kTrailerSize;
    }
    inflateEnd(&stream);
    terminate();
}

std::vector<std::uint8_t> GzipMemReader::Detach() {
    m_buffer.resize(m_size);
    m_size = 0;
    std::vector<std::uint8_t> result = std::move(m_buffer);
    m_buffer.clear();
    terminate();
    return result;
}

// ---- CGzipCompression

std::size_t CGzipCompression::Compress(const void* data, std::size_t length, int level) {
    m_reader.reset();
    m_writer.reset(std::make_unique<GzipMemWriter>(data, length, level));
    return m_writer->GetSize();
}

std::size_t CGzipCompression::Decompress(const void* data, std::size_t length) {
    m_writer.reset();
    m_reader.reset(std::make_unique<GzipMemReader>(data, length, m_outputLimit));
    return m_reader->GetSize();
}

std::size_t CGzipCompression::GetSize() const {
    if (m_writer)
        return m_writer->GetSize();
    if (m_reader)
        return m_reader->GetSize();
    return 0;
}

const std::uint8_t* CGzipCompression::GetBuffer() const {
    if (m_writer)
        return m_writer->GetBuffer();
    if (m_reader)
        return m_reader->GetBuffer();
    return nullptr;
}

void CGzipCompression::CopyTo(void* destination) const {
    std::size_t size = GetSize();
    if (destination && size != 0)
        std::memcpy(destination, GetBuffer(), size);
}
