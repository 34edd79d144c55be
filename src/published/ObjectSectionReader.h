#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "published/DemoContent.h"
#include "published/LoadLimits.h"

namespace NKWXDecodersEncoders {

class CExternalFormatReader;

// Inflates the object stream and reads its frames, picture pool and object sections into the
// content; the objects it makes name the owner as their reader. False with the reason on a
// truncated or inconsistent stream.
bool readObjectStream(std::span<const std::uint8_t> packed, const lumenreel::LoadLimits& limits,
                      const CExternalFormatReader* owner, DemoContent& content, std::string& error);

}  // namespace NKWXDecodersEncoders
