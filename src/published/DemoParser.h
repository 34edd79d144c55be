#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "published/DemoContent.h"
#include "published/LoadLimits.h"

namespace NKWXDecodersEncoders {

class CExternalFormatReader;

// Reads a whole published demo; nothing with the reason on a wrong identifier or a truncated or
// inconsistent file. The objects it makes name the owner as their reader.
std::optional<DemoContent> parseDemo(std::span<const std::uint8_t> file,
                                     const lumenreel::LoadLimits& limits, const TraceSink& trace,
                                     const CExternalFormatReader* owner, std::string& error);

}  // namespace NKWXDecodersEncoders
