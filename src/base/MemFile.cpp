#include "base/MemFile.h"

#include <algorithm>
#include <cstring>

std::size_t CKWXMemFile::Read(void* buffer, std::size_t count) {
    if (m_position >= m_bytes.size())
        return 0;
    std::size_t available = static_cast<std::size_t>(m_bytes.size() - m_position);
    std::size_t n = std::min(count, available);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

bool CKWXMemFile::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return true;
    std::uint64_t end = m_position + count;
    if (end > m_bytes.max_size())
        return false;
    if (end > m_bytes.size())
        m_bytes.resize(static_cast<std::size_t>(end));
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position = end;
    return true;
}

std::int64_t CKWXMemFile::Seek(std::int64_t offset, SeekFrom from) {
    std::int64_t origin = from == SeekFrom::begin     ? 0
                          : from == SeekFrom::current ? static_cast<std::int64_t>(m_position)
                                                      : static_cast<std::int64_t>(m_bytes.size());
    if ((offset < 0 && origin + offset < 0))
        return -1;
    m_position = static_cast<std::uint64_t>(origin + offset);
    return static_cast<std::int64_t>(m_position);
}

std::vector<std::uint8_t> CKWXMemFile::Detach() {
    std::vector<std::uint8_t> bytes = std::move(m_bytes);
    m_bytes.clear();
    m_position = 0;
    return bytes;
}
