#include "cli/AnyMovie.h"

#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"

namespace lumenreel::cli {

void AnyMovie::openOrExit(const std::string& path) {
    m_document = openDocumentIfAny(path);
    if (m_document)
        return;
    std::string reason;
    switch (m_demo.open(path, reason)) {
        case HeadlessMovie::OpenResult::ok:
            return;
        case HeadlessMovie::OpenResult::notFound:
            failCommand(kExitNotFound, path, reason);
        case HeadlessMovie::OpenResult::badInput:
            failCommand(kExitBadInput, path, reason);
    }
}

float AnyMovie::duration() const {
    return m_document ? m_document->document.totalDuration() : m_demo.duration();
}

bool AnyMovie::renderPng(float t, std::vector<std::uint8_t>& png) {
    return m_document ? documentMomentPng(m_document->document, t, png) : m_demo.renderPng(t, png);
}

}  // namespace lumenreel::cli
