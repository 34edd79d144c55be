// Stored picture records read through the keyed serialization form: "MEM_EX_GZIP" above all,
// and on the same bytes "MEM_IMAGE" and "IMAGEEXT_DATA"; whatever loads is copied out.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/ImageExtMemGzip.h"
#include "storage/SerializeInterfaceRB.h"

namespace {

template <class Load>
void loadFrom(std::span<const std::uint8_t> bytes, Load load) {
    CKWXOleStreamFile file(bytes);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    load(archive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CImageExt image;
    loadFrom(bytes, [&](CSerializeInterface& archive) {
        CImageExtMemGzip node;
        if (node.serialize(archive))
            node.copyTo(image);
    });
    loadFrom(bytes, [&](CSerializeInterface& archive) {
        CImageExtMem node;
        if (node.serialize(archive))
            node.copyTo(image);
    });
    loadFrom(bytes, [&](CSerializeInterface& archive) { image.serialize(archive); });
    return 0;
}
