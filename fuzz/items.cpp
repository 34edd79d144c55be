// One frame's item list as a document stores it: whatever is read must draw safely, and what is
// written back must read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "items/DrawCommonItem.h"
#include "items/DrawCommonItemListManager.h"
#include "storage/SerializeInterfaceRB.h"

namespace {

std::vector<std::uint8_t> written(lumenreel::CDrawCommonItemListManager& list) {
    CKWXOleStreamFile stream;
    CSerializeInterfaceRB archive(stream, CSerializeInterface::modeStore);
    list.serialize(archive);
    archive.Close();
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

void read(lumenreel::CDrawCommonItemListManager& list, std::span<const std::uint8_t> bytes) {
    CKWXOleStreamFile stream(bytes);
    CSerializeInterfaceRB archive(stream, CSerializeInterface::modeLoad);
    list.serialize(archive);
}

}  // namespace

// Fontconfig keeps its configuration for the life of the process (a one-time allocation, out of
// our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumenreel::CDrawCommonItemListManager list;
    read(list, std::span(data, size));
    CImageExt frame;
    frame.create(64, 48, 32);
    for (int i = 0; i < list.count(); ++i) {
        lumenreel::CDrawCommonItem* item = list.itemAt(i);
        if (!item)
            continue;
        lumenreel::ItemDrawContext context;
        context.time = 0.5f;
        context.placement = list.placementAt(i);
        item->bounds();
        item->draw(frame, context);
    }
    const std::vector<std::uint8_t> first = written(list);
    lumenreel::CDrawCommonItemListManager again;
    read(again, first);
    if (written(again) != first)
        __builtin_trap();
    return 0;
}
