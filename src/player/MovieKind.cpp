#include "player/MovieKind.h"

#include <cstring>

#include "published/ExternalFormatReader.h"
#include "storage/RecursiveBinaryFile.h"

namespace lumenreel {
namespace {

bool startsWith(std::span<const std::uint8_t> bytes, const Guid& guid) {
    return bytes.size() >= guid.bytes.size() &&
           std::memcmp(bytes.data(), guid.bytes.data(), guid.bytes.size()) == 0;
}

}  // namespace

std::optional<MovieKind> movieKindOf(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, NKWXDecodersEncoders::CExternalFormatReader::kFileIdentifier))
        return MovieKind::ZCD;
    // Documents are stored in the recursive binary container.
    if (startsWith(bytes, CRecursiveBinaryFile::kIdentifier))
        return MovieKind::ZCS;
    return std::nullopt;
}

}  // namespace lumenreel
