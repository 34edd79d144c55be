#include <cstddef>
#include <cstdint>
#include <span>

#include "SerializeFuzzSchema.h"
#include "base/MemFile.h"
#include "storage/SerializeInterfaceXML.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKWXOleStreamFile stream(std::span(data, size));
    CSerializeInterfaceXML ar(stream, CSerializeInterface::modeLoad);
    lumenreel::fuzz::FuzzRecord record;
    record.exchange(ar);
    return 0;
}
