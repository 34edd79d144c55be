#include "base/File.h"

#include <limits>

bool CFile::ReadExact(void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        std::size_t got = Read(bytes + done, count - done);
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

bool CFile::SeekTo(std::uint64_t position) {
    if (position > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return false;
    }
    return Seek(static_cast<std::int64_t>(position), SeekFrom::begin) ==
           static_cast<std::int64_t>(position);
}

std::uint64_t CFile::RemainingBytes() const {
    std::uint64_t length = GetLength();
    std::uint64_t position = GetPosition();
    return position < length ? length - position : 0;
}
