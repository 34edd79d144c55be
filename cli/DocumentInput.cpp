#include "cli/DocumentInput.h"

#include "base/FileBytes.h"
#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"
#include "document/DocumentForm.h"
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

}  // namespace lumenreel::cli
