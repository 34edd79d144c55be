#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "export/ExportPicture.h"
#include "images/ImageExt.h"

namespace lumenreel {

// A folder of pictures frame_NNNNNN.png, one for each step k / fps of the movie's clock (so
// exports that start at different times line up). A picture shown over several steps is written
// once and linked under the other names. The folder is filled beside its name and renamed into
// place by finish(); one given up leaves nothing.
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
    bool fail(const std::string& reason);
    std::filesystem::path fileFor(long step) const;

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    double m_fps;
    double m_from;
    bool m_overwrite;
    CImageExt m_image;
    std::uint64_t m_bytes = 0;
    long m_files = 0;
    std::string m_error;
};

}  // namespace lumenreel
