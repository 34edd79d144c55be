#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace lumenreel {

// A file written beside its final name and renamed over it once complete. Until commit() the
// final name keeps what it had; a file given up (a failed write, an exception, a signal that
// unwinds) leaves nothing behind. A final name that exists but is not a regular file (a folder,
// a device) is refused rather than replaced.
class ReplacingFile {
public:
    explicit ReplacingFile(std::filesystem::path target, mode_t mode = 0644);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool open();
    bool write(std::span<const std::uint8_t> bytes);
    // Writes over bytes already written (a header whose sizes are known at the end).
    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    bool commit();
    bool isOpen() const { return m_fd >= 0; }
    // Where the bytes go until commit(), for writers that open the file by its name.
    const std::string& temporaryPath() const { return m_temporary; }
    // Why the last operation failed, in one line.
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& what);
    void discard();

    std::filesystem::path m_target;
    std::string m_temporary;
    mode_t m_mode;
    int m_fd = -1;
    std::string m_error;
};

// The whole file at once; false with the reason in `error`.
bool replaceFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                 std::string& error, mode_t mode = 0644);

}  // namespace lumenreel
