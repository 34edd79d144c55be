#include "export/PngSequenceWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/ReplacingFile.h"
#include "export/ExportMoments.h"
#include "images/ImageExt.h"
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

namespace {

// Compressing takes far longer than drawing: this many pictures at once keep the cores busy.
constexpr std::size_t kPicturesCompressing = 3;

// The PNG bytes of a BGR24 picture; none when memory runs out.
std::vector<std::uint8_t> compress(const AVFrame& frame) {
    CImageExt image;
    std::vector<std::uint8_t> png;
    if (!image.create(frame.width, frame.height, 24))
        return png;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 3;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(image.firstRow() + static_cast<std::size_t>(y) * image.pitch(),
                    frame.data[0] + static_cast<std::size_t>(y) * frame.linesize[0], rowBytes);
    if (!encodePng(image, png))
        png.clear();
    return png;
}

}  // namespace

bool PngSequenceWriter::write(const ExportPicture& picture) {
    // The picture's pixels are shared, never written again, so the thread may read them later.
    std::shared_ptr<AVFrame> frame(av_frame_clone(picture.frame.get()), FfmpegFree{});
    if (!frame)
        return fail("out of memory");
    m_pending.push_back({std::async(std::launch::async, [frame] { return compress(*frame); }),
                         picture.start, picture.duration});
    return m_pending.size() < kPicturesCompressing || writeOldest();
}

bool PngSequenceWriter::writeOldest() {
    Pending oldest = std::move(m_pending.front());
    m_pending.pop_front();
    const std::vector<std::uint8_t> png = oldest.png.get();
    if (png.empty())
        return fail("cannot encode a picture");

    // The steps of the movie-wide grid this picture covers.
    const double start = m_from + oldest.start;
    const long first = gridIndex(start, m_fps);
    const long end = gridIndex(start + oldest.duration, m_fps);
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
    while (!m_pending.empty()) {
        if (!writeOldest())
            return false;
    }
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
