#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/MemFile.h"
#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "storage/SerializeInterface.h"

// Documents made through the writer from the input's bytes (frame indexes, durations,
// visibility, opacity, references), written in both forms, read back and drawn: the reader must
// take whatever the writer gives, including frames that claim one position.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lumenreel;
    CZephyrcastBaseDocument built;
    built.setFrameSize({8, 6});
    CImageExt background;
    background.create(8, 6, 32);
    for (std::size_t i = 0; i + 4 <= size && i < 4 * 16; i += 4) {
        CZephyrcastFrameElement& frame = built.appendFrame();
        frame.frameInfo().index = static_cast<std::int8_t>(data[i]) % 20;
        frame.frameInfo().duration = static_cast<float>(data[i + 1]) / 16.0f;
        frame.frameInfo().visibility = (data[i + 2] & 1) != 0;
        frame.frameInfo().transparency = static_cast<float>(data[i + 3]) / 255.0f;
        background.setPixel(0, 0, data[i + 1]);
        if (auto id = built.backgroundStream().addPicture(background))
            frame.backgroundReference().bind(*id, 8, 6);
        if (data[i + 2] & 2) {
            CDrawItem_link link;
            link.status = 1;
            link.uniqueId = data[i + 3];
            frame.itemList().insert(link, nullptr);
        }
    }
    built.buildPlayingOrder();
    const std::vector<std::uint8_t> current = built.save().value_or(std::vector<std::uint8_t>{});
    CKWXMemFile older;
    {
        CSerializeInterface archive(older, CSerializeInterface::modeStore);
        built.serialize(archive, DocumentForm::older);
        archive.Close();
    }
    for (std::span<const std::uint8_t> bytes :
         {std::span<const std::uint8_t>(current), older.Bytes()}) {
        CZephyrcastBaseDocument read;
        if (!read.load(bytes))
            continue;
        CImageExt picture;
        read.drawAtTime(picture, read.totalDuration() * 0.5f);
    }
    return 0;
}

// Fontconfig keeps its configuration for the life of the process (a one-time allocation, out of
// our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}
