#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace lumenreel {

// The document's root section and the text its "document_type" holds in both storage forms.
inline constexpr const char* kDocumentRootSection = "ZEPHYRCAST_ROOT";
inline constexpr const char* kDocumentType = "Lumenreel_28012005_VER 1.0.0.0";

// The current form keeps the document in a recursive binary container (the keyed backend); the
// older 1.0.0.0 form is a plain sequential archive.
enum class DocumentForm { current, older };

// Which form holds a document in the bytes, by the test both readers accept a stream with: the
// root section opens and its "document_type" text is the document's exactly. Nothing when
// neither does (a skin package or another container is no document).
std::optional<DocumentForm> documentFormOf(std::span<const std::uint8_t> bytes);

}  // namespace lumenreel
