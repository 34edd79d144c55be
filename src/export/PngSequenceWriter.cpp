#include "export/PngSequenceWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/ReplacingFile.h"
#include "export/ExportMoments.h"
#include "images/PngCodec.h"

namespace lumenreel {

namespace fs = std::filesystem;

PngSequenceWriter::PngSequenceWriter(fs::path target, double fps, double from, bool overwrite)
    : m_target(std::move(target)), m_fps(fps), m_from(from), m_overwrite(overwrite) {}

PngSequenceWriter::~PngSequenceWriter() {
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove_all(m_temporary, ignored);
    }
}

bool PngSequenceWriter::fail(const std::string& reason) {
    m_error = reason;
    return false;
}

fs::path PngSequenceWriter::fileFor(long step) const {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", step);
    return m_temporary / name;
}

bool PngSequenceWriter::open() {
    std::error_code error;
    const fs::file_status status = fs::status(m_target, error);
    if (fs::exists(status)) {
        if (!fs::is_directory(status))
            return fail("not a folder (a PNG sequence is written into a folder)");
        if (!fs::is_empty(m_target, error) && !m_overwrite)
            return fail("the folder is not empty (--overwrite replaces it)");
    }
    const fs::path parent = m_target.has_parent_path() ? m_target.parent_path() : fs::path(".");
    if (!fs::is_directory(parent, error))
        return fail("its folder does not exist");
    std::string pattern = (m_target.string() + ".XXXXXX");
    if (!::mkdtemp(pattern.data()))
        return fail(std::string("cannot create a folder beside it: ") + std::strerror(errno));
    m_temporary = pattern;
    return true;
}

bool PngSequenceWriter::write(const ExportPicture& picture) {
    const AVFrame& frame = *picture.frame;
    if (m_image.width() != frame.width || m_image.height() != frame.height) {
        if (!m_image.create(frame.width, frame.height, 24))
            return fail("out of memory");
    }
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 3;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(m_image.firstRow() + static_cast<std::size_t>(y) * m_image.pitch(),
                    frame.data[0] + static_cast<std::size_t>(y) * frame.linesize[0], rowBytes);
    std::vector<std::uint8_t> png;
    if (!encodePng(m_image, png))
        return fail("cannot encode a picture");

    // The steps of the movie-wide grid this picture covers.
    const double start = m_from + picture.start;
    const long first = gridIndex(start, m_fps);
    const long end = gridIndex(start + picture.duration, m_fps);
    fs::path written;
    for (long step = first; step < end; ++step) {
        const fs::path file = fileFor(step);
        std::error_code error;
        if (written.empty()) {
            std::string reason;
            if (!replaceFile(file, png, reason))
                return fail(reason);
            written = file;
            m_bytes += png.size();
        } else {
            fs::create_hard_link(written, file, error);
            // A file system without links gets a copy.
            if (error && !fs::copy_file(written, file, error))
                return fail("cannot write " + file.filename().string() + ": " + error.message());
        }
        ++m_files;
    }
    return true;
}

bool PngSequenceWriter::finish() {
    std::error_code error;
    fs::path old;
    if (fs::exists(m_target, error)) {
        std::string pattern = m_target.string() + ".old.XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return fail(std::string("cannot replace the folder: ") + std::strerror(errno));
        old = pattern;
        fs::rename(m_target, old, error);
        if (error)
            return fail("cannot replace the folder: " + error.message());
    }
    fs::rename(m_temporary, m_target, error);
    if (error) {
        if (!old.empty())
            fs::rename(old, m_target, error);
        return fail("cannot put the folder in place: " + error.message());
    }
    m_temporary.clear();
    if (!old.empty())
        fs::remove_all(old, error);
    return true;
}

}  // namespace lumenreel
