// Arbitrary bytes through the RTF reader, then the writer and the reader again: the reader must
// never crash or hang, and whatever it reads must survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    lumenreel::RichDocument document = lumenreel::readRtf(input);
    lumenreel::RichDocument again = lumenreel::readRtf(lumenreel::writeRtf(document));
    if (!(again == document))
        std::abort();
    return 0;
}
