#include <cstddef>
#include <cstdint>
#include <span>

#include "document/DocumentForm.h"

// Whether a stream holds a document, in either form, is decided from bytes anyone can hand over.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::documentFormOf(std::span(data, size));
    return 0;
}
