#include "cli/DemoInput.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"

namespace lumenreel::cli {

void loadPublishedDemo(const std::string& path,
                       NKWXDecodersEncoders::CExternalFormatReader& reader) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        failCommand(kExitBadInput, path, "cannot read the file");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (file.bad())
        failCommand(kExitBadInput, path, "cannot read the file");
    if (!reader.Load(bytes))
        failCommand(kExitBadInput, path, reader.lastError());
}

}  // namespace lumenreel::cli
