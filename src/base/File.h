#pragma once

#include <cstddef>
#include <cstdint>

// The byte-stream interface every storage class reads and writes through: disk files, memory files
// and files inside packages. Failures are results, never exceptions.
class CFile {
public:
    enum class SeekFrom { begin, current, end };

    virtual ~CFile() = default;

    // Reads up to count bytes; returns how many were read (0 at the end or on failure).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all count bytes or fails.
    virtual bool Write(const void* buffer, std::size_t count) = 0;
    // Moves the position; returns the new position, or -1 when the move is impossible.
    virtual std::int64_t Seek(std::int64_t offset, SeekFrom from) = 0;
    virtual std::uint64_t GetPosition() const = 0;
    virtual std::uint64_t GetLength() const = 0;
    virtual bool Flush() { return true; }
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Reads exactly count bytes or fails (the position is then unspecified).
    bool ReadExact(void* buffer, std::size_t count);
    bool SeekTo(std::uint64_t position);
    std::uint64_t RemainingBytes() const;
};
