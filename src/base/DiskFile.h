#pragma once

#include <cstdio>
#include <string>

#include "base/File.h"

// A file on disk.
class CDiskFile : public CFile {
public:
    enum class Mode {
        read,         // existing file, read only
        createWrite,  // created or truncated, write only
        readWrite,    // existing file, read and write
    };

    CDiskFile() = default;
    ~CDiskFile() override;
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    const std::string& GetPath() const { return m_path; }

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekFrom from) override;
    std::uint64_t GetPosition() const override;
    std::uint64_t GetLength() const override;
    bool Flush() override;
    void Close() override;
    bool IsOpen() const override { return m_file != nullptr; }

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
};
