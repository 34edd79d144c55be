#include "cli/DemoInput.h"

#include "base/FileBytes.h"
#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"
#include "published/LoadLimits.h"

namespace lumenreel::cli {

void loadPublishedDemo(const std::string& path,
                       NKWXDecodersEncoders::CExternalFormatReader& reader) {
    const FileBytes file = readFileBytes(path, kMaxMovieFileBytes);
    if (!file.ok())
        failCommand(kExitBadInput, path, file.missing ? "cannot read the file" : file.error);
    if (!reader.Load(file.bytes))
        failCommand(kExitBadInput, path, reader.lastError());
}

}  // namespace lumenreel::cli
