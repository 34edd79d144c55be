#include "player/HeadlessMovie.h"

#include "base/FileBytes.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "player/MovieKind.h"
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
    m_document.reset();
    m_file = std::move(file);
    const OpenResult opened =
        movieKindOf(m_file) == MovieKind::ZCS ? openDocument(reason) : openDemo(reason);
    if (opened != OpenResult::ok)
        return opened;
    if (m_source.IsEmpty()) {
        reason = m_document ? "the document has no visible frames" : "the demo has no frames";
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

HeadlessMovie::OpenResult HeadlessMovie::openDemo(std::string& reason) {
    if (!m_reader.Load(m_file)) {
        reason = m_reader.lastError().empty() ? "not a published demo" : m_reader.lastError();
        return OpenResult::badInput;
    }
    m_source.SetReader(&m_reader);
    return OpenResult::ok;
}

HeadlessMovie::OpenResult HeadlessMovie::openDocument(std::string& reason) {
    if (!m_themes)
        m_themes = std::make_unique<CThemesManagerZC>(m_captionThemes);
    m_document = std::make_unique<CZephyrcastBaseDocument>(m_themes.get());
    // The document keeps what it needs of the bytes.
    const bool loaded = m_document->load(m_file);
    m_file.clear();
    if (!loaded) {
        reason = m_document->lastError();
        m_document.reset();
        return OpenResult::badInput;
    }
    m_source.SetDocument(m_document.get());
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
