#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/InPt.h"

// In-memory gzip members (RFC 1952): every compressed blob of the system is one of these.

namespace lumenreel {
// Output beyond this is not produced unless a caller asks for more: a small hostile member must not
// expand into all of memory.
inline constexpr std::size_t kDefaultGzipOutputLimit = std::size_t{1} << 30;
// Results that outgrow their first buffer grow to this and then in multiples of it.
inline constexpr std::size_t kGzipBufferStep = 512 * 1024;
}  // namespace lumenreel

// Compresses one buffer into one gzip member in a single call.
class GzipMemWriter {
public:
    static constexpr int kDefaultLevel = 9;
    // The image containers trade size for speed.
    static constexpr int kFastLevel = 1;
    // As a length: the data is a NUL-terminated string whose length is measured.
    static constexpr std::size_t kMeasureString = static_cast<std::size_t>(-1);

    // No data (null) gives an empty result; non-null data of length 0 gives an empty member.
    GzipMemWriter(const void* data, std::size_t length, int level = kDefaultLevel);
    // An empty span is still data: it gives an empty member.
    explicit GzipMemWriter(std::span<const std::uint8_t> data, int level = kDefaultLevel)
        : GzipMemWriter(data.data() ? data.data() : reinterpret_cast<const std::uint8_t*>(""),
                        data.size(), level) {}

    const std::uint8_t* GetBuffer() const { return m_buffer.data(); }
    std::size_t GetSize() const { return m_size; }
    std::span<const std::uint8_t> Bytes() const { return {m_buffer.data(), m_size}; }
    std::size_t GetCapacity() const { return m_buffer.size(); }
    // The last engine status: negative when compression failed (the result is then incomplete).
    int GetStatus() const { return m_status; }
    bool IsComplete() const { return m_complete; }
    // Hands the result out and leaves the writer empty.
    std::vector<std::uint8_t> Detach();

private:
    void compress(const std::uint8_t* data, std::size_t length, int level);
    void append(const void* bytes, std::size_t count);
    void reserve(std::size_t needed);

    std::vector<std::uint8_t> m_buffer;  // size() is the capacity
    std::size_t m_size = 0;
    int m_status = 0;
    bool m_complete = false;
};

// Decompresses concatenated gzip members, or passes data without the gzip magic through unchanged.
// The result is always followed by one zero byte (text callers rely on it).
class GzipMemReader {
public:
    GzipMemReader(const void* data, std::size_t length,
                  std::size_t outputLimit = lumenreel::kDefaultGzipOutputLimit);
    explicit GzipMemReader(std::span<const std::uint8_t> data,
                           std::size_t outputLimit = lumenreel::kDefaultGzipOutputLimit)
        : GzipMemReader(data.data(), data.size(), outputLimit) {}

    const std::uint8_t* GetBuffer() const { return m_buffer.data(); }
    std::size_t GetSize() const { return m_size; }
    std::span<const std::uint8_t> Bytes() const { return {m_buffer.data(), m_size}; }
    std::size_t GetCapacity() const { return m_buffer.empty() ? 0 : m_buffer.size() - 1; }
    int GetStatus() const { return m_status; }
    // The input had no gzip magic and was copied.
    bool IsTransparent() const { return m_transparent; }
    // A bad header, bad deflate data, a missing trailer or a CRC mismatch stopped decompression;
    // the result holds what was produced before.
    bool IsBad() const { return m_bad; }
    // The output limit stopped decompression; the result holds exactly the limit's worth.
    bool IsTruncated() const { return m_truncated; }
    // Hands the result out (without the trailing zero) and leaves the reader empty.
    std::vector<std::uint8_t> Detach();

private:
    void decompress(const std::uint8_t* data, std::size_t length);
    void copyTransparent(const std::uint8_t* data, std::size_t length);
    void allocate(std::size_t capacity);
    void reserve(std::size_t needed);
    void terminate();

    std::vector<std::uint8_t> m_buffer;  // capacity plus the terminating zero
    std::size_t m_size = 0;
    std::size_t m_limit;
    // The output the last member's length field promises, capped by what the input can hold.
    std::size_t m_expected = 0;
    int m_status = 0;
    bool m_transparent = false;
    bool m_bad = false;
    bool m_truncated = false;
};

// Holds the result of the last compression or decompression.
class CGzipCompression {
public:
    CGzipCompression() = default;
    virtual ~CGzipCompression() = default;

    // Returns the compressed length.
    virtual std::size_t Compress(const void* data, std::size_t length,
                                 int level = GzipMemWriter::kDefaultLevel);
    // Returns the decompressed length.
    virtual std::size_t Decompress(const void* data, std::size_t length);
    virtual std::size_t GetSize() const;
    virtual const std::uint8_t* GetBuffer() const;
    void CopyTo(void* destination) const;

    // Applies to later Decompress calls.
    void SetOutputLimit(std::size_t limit) { m_outputLimit = limit; }
    // The last decompression stopped early (bad data or the output limit).
    bool IsBad() const { return m_reader && m_reader->IsBad(); }
    bool IsTruncated() const { return m_reader && m_reader->IsTruncated(); }

private:
    InPt<GzipMemWriter> m_writer;
    InPt<GzipMemReader> m_reader;
    std::size_t m_outputLimit = lumenreel::kDefaultGzipOutputLimit;
};
