#pragma once

#include <string>

#include "published/ExternalFormatReader.h"

namespace lumenreel::cli {

// Loads a published demo file into the reader, or fails the command with exit 2 and the reason.
void loadPublishedDemo(const std::string& path,
                       NKWXDecodersEncoders::CExternalFormatReader& reader);

}  // namespace lumenreel::cli
