#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/SerializeFixedValue.h"

// Text forms of scalar values in the XML form. Values travel in their little-endian stored
// layout, as everywhere in the serialization interface.
namespace lumenreel {

// The element text of a stored scalar ("%d"-style integers, six-decimal floats, "true"/"false").
std::string scalarToXmlText(ValueKind kind, std::span<const std::uint8_t> bytes);

// Converts element text back. Numbers are read from a leading number like the C library does
// (text that does not start with one gives 0); a boolean is true only for the exact text "true".
// Returns false for kinds that are not scalars.
bool scalarFromXmlText(ValueKind kind, std::string_view text, std::span<std::uint8_t> bytes);

}  // namespace lumenreel
