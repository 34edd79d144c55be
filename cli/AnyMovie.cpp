#include "cli/AnyMovie.h"

#include "cli/RenderCommand.h"

namespace lumenreel::cli {

void AnyMovie::openOrExit(const std::string& path) {
    m_document = openDocumentIfAny(path);
    if (m_document)
        return;
    openMovieOrExit(m_demo, path);
}

float AnyMovie::duration() const {
    return m_document ? m_document->document.totalDuration() : m_demo.duration();
}

bool AnyMovie::renderPng(float t, std::vector<std::uint8_t>& png) {
    return m_document ? documentMomentPng(m_document->document, t, png) : m_demo.renderPng(t, png);
}

}  // namespace lumenreel::cli
