#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "export/ExportPicture.h"

namespace lumenreel {

// A folder of pictures frame_NNNNNN.png, one for each step k / fps of the movie's clock (so
// exports that start at different times line up). A picture shown over several steps is written
// once and linked under the other names. Pictures are compressed on threads of their own, a few
// ahead of the one being written. The folder is filled beside its name and renamed into place by
// finish(); one given up leaves nothing.
class PngSequenceWriter : public PictureWriter {
public:
    PngSequenceWriter(std::filesystem::path target, double fps, double from, bool overwrite);
    ~PngSequenceWriter() override;
    PngSequenceWriter(const PngSequenceWriter&) = delete;
    PngSequenceWriter& operator=(const PngSequenceWriter&) = delete;

    bool open();
    bool write(const ExportPicture& picture) override;
    bool finish();
    std::uint64_t bytesWritten() const { return m_bytes; }
    long filesWritten() const { return m_files; }
    const std::string& error() const { return m_error; }

private:
    // A picture's PNG bytes, being made, and the span of the movie it shows.
    struct Pending {
        std::future<std::vector<std::uint8_t>> png;
        double start;
        double duration;
    };

    bool fail(const std::string& reason);
    std::filesystem::path fileFor(long step) const;
    // Writes the oldest pending picture under the names of the steps it covers.
    bool writeOldest();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    double m_fps;
    double m_from;
    bool m_overwrite;
    std::deque<Pending> m_pending;
    std::uint64_t m_bytes = 0;
    long m_files = 0;
    std::string m_error;
};

}  // namespace lumenreel
