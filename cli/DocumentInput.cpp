#include "cli/DocumentInput.h"

#include "base/FileBytes.h"
#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"
#include "document/DocumentForm.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "published/LoadLimits.h"

namespace lumenreel::cli {

std::unique_ptr<OpenedDocument> openDocumentIfAny(const std::string& path) {
    const FileBytes file = readFileBytes(path, kMaxMovieFileBytes);
    if (!file.ok() || !documentFormOf(file.bytes))
        return nullptr;
    auto opened = std::make_unique<OpenedDocument>();
    if (!opened->document.load(file.bytes))
        failCommand(kExitBadInput, path, opened->document.lastError());
    return opened;
}

bool documentMomentPng(CZephyrcastBaseDocument& document, float t, std::vector<std::uint8_t>& png) {
    CImageExt frame;
    if (!document.drawAtTime(frame, t))
        return false;
    CImageExt opaque;
    copyAsBgr24(frame, opaque);
    png.clear();
    return encodePng(opaque, png);
}

}  // namespace lumenreel::cli
