#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/File.h"

// A growable memory file. Seeking past the end is allowed; a later write fills the gap with zeros.
class CKWXMemFile : public CFile {
public:
    CKWXMemFile() = default;
    explicit CKWXMemFile(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekFrom from) override;
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t GetLength() const override { return m_bytes.size(); }
    void Close() override {}
    bool IsOpen() const override { return true; }

    // The whole content, independent of the position.
    std::span<const std::uint8_t> Bytes() const { return m_bytes; }
    // Hands the buffer out and leaves the file empty.
    std::vector<std::uint8_t> Detach();

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_position = 0;
};

// A file on an in-memory stream: the temporary buffer for resources, pictures, strings and XML
// text.
class CKWXOleStreamFile : public CKWXMemFile {
public:
    CKWXOleStreamFile() = default;
    // A stream holding a copy of the bytes, positioned at its start.
    explicit CKWXOleStreamFile(std::span<const std::uint8_t> bytes)
        : CKWXMemFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end())) {}
    void Rewind() { Seek(0, SeekFrom::begin); }
};
