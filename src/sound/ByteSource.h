#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/File.h"

namespace lumenreel {

// Where a streaming decoder reads its encoded bytes from, with the stdio-like semantics that
// the codec libraries' callbacks expect.
class ByteSource {
public:
    enum class Origin { set, current, end };

    virtual ~ByteSource() = default;
    virtual std::size_t read(void* buffer, std::size_t count) = 0;
    // Returns false when the position would be invalid (it then stays where it was).
    virtual bool seek(std::int64_t offset, Origin origin) = 0;
    virtual std::int64_t tell() const = 0;
};

// Bytes in memory, owned by the source.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t read(void* buffer, std::size_t count) override;
    bool seek(std::int64_t offset, Origin origin) override;
    std::int64_t tell() const override { return static_cast<std::int64_t>(m_position); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// A file, owned by the source and closed with it.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(std::unique_ptr<CFile> file) : m_file(std::move(file)) {}
    ~FileByteSource() override;

    std::size_t read(void* buffer, std::size_t count) override;
    bool seek(std::int64_t offset, Origin origin) override;
    std::int64_t tell() const override;

private:
    std::unique_ptr<CFile> m_file;
};

}  // namespace lumenreel
