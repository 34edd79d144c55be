#include "base/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lumenreel {

ReplacingFile::ReplacingFile(std::filesystem::path target, mode_t mode)
    : m_target(std::move(target)), m_mode(mode) {}

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::fail(const std::string& what) {
    m_error = what + ": " + std::strerror(errno);
    discard();
    return false;
}

void ReplacingFile::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
}

bool ReplacingFile::open() {
    discard();
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        m_error = S_ISDIR(existing.st_mode) ? "a directory, not a file" : "not a regular file";
        return false;
    }
    std::string name = m_target.string() + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return fail("cannot create a file beside it");
    m_fd = fd;
    m_temporary = std::move(name);
    if (::fchmod(m_fd, m_mode) != 0)
        return fail("cannot set its permissions");
    return true;
}

bool ReplacingFile::write(std::span<const std::uint8_t> bytes) {
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail("cannot write the file");
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return m_fd >= 0;
}

bool ReplacingFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t written =
            ::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail("cannot write the file");
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return m_fd >= 0;
}

bool ReplacingFile::commit() {
    if (m_fd < 0)
        return false;
    // Some file systems report a full disk only when the file is closed.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail("cannot write the file");
    if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return fail("cannot replace the file");
    m_temporary.clear();
    return true;
}

bool replaceFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                 std::string& error, mode_t mode) {
    ReplacingFile file(target, mode);
    const bool done = file.open() && file.write(bytes) && file.commit();
    if (!done)
        error = file.error();
    return done;
}

}  // namespace lumenreel
