#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "published/ImageSequenceDecoder.h"

namespace NKWXDecodersEncoders {

// Reads a whole picture stream; nothing with the reason when it is truncated or inconsistent.
std::optional<PictureStreamContent> parsePictureStream(std::span<const std::uint8_t> stream,
                                                       const lumenreel::LoadLimits& limits,
                                                       const TraceSink& trace, std::string& error);

}  // namespace NKWXDecodersEncoders
