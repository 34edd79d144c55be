#include "player/HeadlessMovie.h"

#include "base/FileBytes.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "published/LoadLimits.h"

namespace lumenreel {

HeadlessMovie::OpenResult HeadlessMovie::open(const std::filesystem::path& path,
                                              std::string& reason) {
    FileBytes file = readFileBytes(path, kMaxMovieFileBytes);
    if (!file.ok()) {
        reason = file.error;
        return file.missing ? OpenResult::notFound : OpenResult::badInput;
    }
    return open(std::move(file.bytes), reason);
}

HeadlessMovie::OpenResult HeadlessMovie::open(std::vector<std::uint8_t> file, std::string& reason) {
    m_source.SetReader(nullptr);
    m_file = std::move(file);
    if (!m_reader.Load(m_file)) {
        reason = m_reader.lastError().empty() ? "not a published demo" : m_reader.lastError();
        return OpenResult::badInput;
    }
    m_source.SetReader(&m_reader);
    if (m_source.IsEmpty()) {
        reason = "the demo has no frames";
        return OpenResult::badInput;
    }
    CDocImp::Size size = m_source.BitmapSize();
    if (!m_frame.create(size.width, size.height, 32)) {
        reason = "unusable picture size " + std::to_string(size.width) + " x " +
                 std::to_string(size.height);
        return OpenResult::badInput;
    }
    return OpenResult::ok;
}

const CImageExt* HeadlessMovie::renderAt(float t) {
    if (m_frame.isNull() || !m_source.RenderAt(t, m_frame))
        return nullptr;
    return &m_frame;
}

bool HeadlessMovie::renderPng(float t, std::vector<std::uint8_t>& png) {
    const CImageExt* frame = renderAt(t);
    if (!frame)
        return false;
    copyAsBgr24(*frame, m_opaque);
    png.clear();
    return encodePng(m_opaque, png);
}

}  // namespace lumenreel
