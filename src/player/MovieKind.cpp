#include "player/MovieKind.h"

#include <cstring>

#include "document/DocumentForm.h"
#include "published/ExternalFormatReader.h"

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
    // A container or an archive is a document only when it holds one.
    if (documentFormOf(bytes))
        return MovieKind::ZCS;
    return std::nullopt;
}

}  // namespace lumenreel
