// A "MEM_EX_GZIP" record read through the keyed serialization form, then its pixels copied out.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/ImageExtMemGzip.h"
#include "storage/SerializeInterfaceRB.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKWXOleStreamFile file(std::span<const std::uint8_t>(data, size));
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    CImageExtMemGzip node;
    if (node.serialize(archive)) {
        CImageExt image;
        node.copyTo(image);
    }
    return 0;
}
