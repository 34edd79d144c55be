#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"
#include "sound/NullOutputDevice.h"
#include "themes/PlayerThemes.h"

namespace lumenreel {

// A published demo or an authoring document, whichever the bytes are, rendered without a window:
// each moment is the frame image at the movie's bitmap size, with no Fit, frame or panel. For
// exporting stills, frame sequences and videos. A document's captions draw their balloons from
// the theme files given (the working folder's when none are).
class HeadlessMovie {
public:
    enum class OpenResult { ok, notFound, badInput };

    explicit HeadlessMovie(ThemeFiles captionThemes = {}) : m_captionThemes(captionThemes) {}

    OpenResult open(const std::filesystem::path& path, std::string& reason);
    OpenResult open(std::vector<std::uint8_t> file, std::string& reason);
    float duration() const { return m_source.Duration(); }
    CDocImp::Size bitmapSize() const { return m_source.BitmapSize(); }
    // The movie as the player sees it, for exports that go through its source.
    CDocImp& source() { return m_source; }

    // The moment t; null when the movie has no frame to show.
    const CImageExt* renderAt(float t);
    // The moment t as an opaque 24-bit PNG.
    bool renderPng(float t, std::vector<std::uint8_t>& png);

private:
    OpenResult openDemo(std::string& reason);
    OpenResult openDocument(std::string& reason);

    ThemeFiles m_captionThemes;
    std::vector<std::uint8_t> m_file;
    NKWXDecodersEncoders::CExternalFormatReader m_reader;
    std::unique_ptr<CThemesManagerZC> m_themes;
    std::unique_ptr<CZephyrcastBaseDocument> m_document;
    // Never plays: its sound is only ever decoded.
    CDocImp m_source{[] { return std::make_unique<NullOutputDevice>(); }};
    CImageExt m_frame;
    CImageExt m_opaque;
};

}  // namespace lumenreel
