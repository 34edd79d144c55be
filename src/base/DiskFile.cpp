#include "base/DiskFile.h"

#include <sys/stat.h>

CDiskFile::~CDiskFile() {
    Close();
}

bool CDiskFile::Open(const std::string& path, Mode mode) {
    Close();
    const char* flags = mode == Mode::read ? "rb" : mode == Mode::createWrite ? "wb" : "r+b";
    m_file = std::fopen(path.c_str(), flags);
    if (!m_file)
        return false;
    struct stat info {};
    if (fstat(fileno(m_file), &info) != 0 || S_ISDIR(info.st_mode)) {
        Close();
        return false;
    }
    m_path = path;
    return true;
}

std::size_t CDiskFile::Read(void* buffer, std::size_t count) {
    if (!m_file || count == 0)
        return 0;
    return std::fread(buffer, 1, count, m_file);
}

bool CDiskFile::Write(const void* buffer, std::size_t count) {
    if (!m_file)
        return false;
    return count == 0 || std::fwrite(buffer, 1, count, m_file) == count;
}

std::int64_t CDiskFile::Seek(std::int64_t offset, SeekFrom from) {
    if (!m_file)
        return -1;
    int whence = from == SeekFrom::begin     ? SEEK_SET
                 : from == SeekFrom::current ? SEEK_CUR
                                             : SEEK_END;
    if (fseeko(m_file, offset, whence) != 0)
        return -1;
    return ftello(m_file);
}

std::uint64_t CDiskFile::GetPosition() const {
    if (!m_file)
        return 0;
    off_t position = ftello(m_file);
    return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

std::uint64_t CDiskFile::GetLength() const {
    if (!m_file)
        return 0;
    std::fflush(m_file);
    struct stat info {};
    if (fstat(fileno(m_file), &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

// A write that failed inside the stream's buffer (a full disk) may surface during a seek or a
// length query that cannot report it; the stream's error flag keeps it until here.
bool CDiskFile::Flush() {
    return m_file && std::fflush(m_file) == 0 && !std::ferror(m_file);
}

void CDiskFile::Close() {
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_path.clear();
}
