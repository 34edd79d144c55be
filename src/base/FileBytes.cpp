#include "base/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace lumenreel {
namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 20;

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

FileBytes failure(std::string error, bool missing = false) {
    FileBytes result;
    result.error = std::move(error);
    result.missing = missing;
    return result;
}

std::string tooLarge(std::uint64_t limit) {
    return "larger than " + std::to_string(limit) + " bytes";
}

// Reads until the end or until one byte past the limit, whichever comes first. Reads fill what
// was reserved before asking for more, so a file of the size reserved for is read into one buffer.
bool readAtMost(int fd, std::uint64_t cap, std::vector<std::uint8_t>& bytes) {
    while (bytes.size() < cap) {
        const std::size_t offset = bytes.size();
        const std::size_t room = bytes.capacity() - offset;
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(room ? room : kReadChunk, cap - offset));
        bytes.resize(offset + want);
        const ssize_t got = ::read(fd, bytes.data() + offset, want);
        if (got < 0 && errno == EINTR) {
            bytes.resize(offset);
            continue;
        }
        if (got < 0)
            return false;
        bytes.resize(offset + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    return true;
}

}  // namespace

FileBytes readFileBytes(const std::filesystem::path& path, std::uint64_t limit) {
    // Non-blocking, so that opening a pipe without a writer returns and is then refused.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? failure("no such file", true)
                                                   : failure("cannot read the file");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return failure("cannot read the file");
    if (S_ISDIR(info.st_mode))
        return failure("a directory, not a file");
    if (!S_ISREG(info.st_mode))
        return failure("not a regular file");
    if (static_cast<std::uint64_t>(info.st_size) > limit)
        return failure(tooLarge(limit));

    FileBytes result;
    // A byte more than the file holds, for the read that finds its end.
    result.bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
    const std::uint64_t cap =
        limit == std::numeric_limits<std::uint64_t>::max() ? limit : limit + 1;
    if (!readAtMost(fd.get(), cap, result.bytes))
        return failure("cannot read the file");
    if (result.bytes.size() > limit)
        return failure(tooLarge(limit));
    return result;
}

}  // namespace lumenreel
