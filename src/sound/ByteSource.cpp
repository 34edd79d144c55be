#include "sound/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace lumenreel {

std::size_t MemoryByteSource::read(void* buffer, std::size_t count) {
    std::size_t n = std::min(count, m_bytes.size() - m_position);
    if (n > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

bool MemoryByteSource::seek(std::int64_t offset, Origin origin) {
    auto size = static_cast<std::int64_t>(m_bytes.size());
    std::int64_t base = origin == Origin::set       ? 0
                        : origin == Origin::current ? static_cast<std::int64_t>(m_position)
                                                    : size;
    // Overflow-safe bounds check before forming base + offset.
    if (offset > size - base || offset < -base)
        return false;
    m_position = static_cast<std::size_t>(base + offset);
    return true;
}

FileByteSource::~FileByteSource() {
    if (m_file)
        m_file->Close();
}

std::size_t FileByteSource::read(void* buffer, std::size_t count) {
    return m_file->Read(buffer, count);
}

bool FileByteSource::seek(std::int64_t offset, Origin origin) {
    CFile::SeekFrom from = origin == Origin::set   ? CFile::SeekFrom::begin
                           : origin == Origin::end ? CFile::SeekFrom::end
                                                   : CFile::SeekFrom::current;
    return m_file->Seek(offset, from) >= 0;
}

std::int64_t FileByteSource::tell() const {
    return static_cast<std::int64_t>(m_file->GetPosition());
}

}  // namespace lumenreel
