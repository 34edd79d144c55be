// The capture encoder's stored form, two ways (the first byte chooses):
// - even: the rest is a keyed stream; it is read, and every picture it kept is rebuilt twice, in
//   sequence and in a shuffled order chosen from the input, which must give the same pixels (a
//   picture never depends on what was rebuilt before it);
// - odd: the rest describes small pictures and edits; they are encoded, some removed, written,
//   read and rebuilt in a shuffled order, and must come back exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <span>
#include <vector>

#include "base/MemFile.h"
#include "capture/CaptureEncoder.h"
#include "images/ImageExt.h"
#include "storage/SerializeInterfaceRB.h"

namespace {

class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool empty() const { return m_position >= m_bytes.size(); }
    std::uint8_t next() { return empty() ? 0 : m_bytes[m_position++]; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

std::uint64_t digest(const CImageExt& image) {
    std::uint64_t hash = 1469598103934665603ull ^ static_cast<std::uint64_t>(image.width()) ^
                         static_cast<std::uint64_t>(image.height()) << 20;
    const std::uint8_t* row = image.firstRow();
    for (std::size_t i = 0; i < static_cast<std::size_t>(image.pitch()) * image.height(); ++i)
        hash = (hash ^ row[i]) * 1099511628211ull;
    return hash;
}

std::vector<std::size_t> shuffledIndices(std::size_t count, unsigned seed) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    return order;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

void readAndRebuild(std::span<const std::uint8_t> stored, unsigned seed) {
    CKWXOleStreamFile file(stored);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    CCaptureEncoderExt encoder;
    encoder.read(archive);
    const int count = encoder.pictureCount();
    std::vector<std::uint64_t> inSequence(static_cast<std::size_t>(count));
    CImageExt image;
    for (int i = 0; i < count; ++i) {
        check(encoder.pictureImageAt(image, i));
        check(image.width() == encoder.pictureAt(i)->width &&
              image.height() == encoder.pictureAt(i)->height);
        inSequence[static_cast<std::size_t>(i)] = digest(image);
    }
    for (std::size_t i : shuffledIndices(inSequence.size(), seed)) {
        CImageExt fresh;
        check(encoder.pictureImageAt(fresh, static_cast<int>(i)));
        check(digest(fresh) == inSequence[i]);
    }
    if (count > 0) {  // the reference came back: a further picture continues the stream
        encoder.pictureImageAt(image, count - 1);
        image.setPixel(0, 0, ~image.pixel(0, 0));
        const auto id = encoder.addPicture(image);
        CImageExt added;
        check(id && encoder.pictureImage(added, *id) && added.equals(image));
    }
}

// Pictures of up to 40 × 40, each made from the one before by a few filled rectangles.
void encodeWriteRead(Bytes input, unsigned seed) {
    const int bits = input.next() % 2 ? 32 : 24;
    int width = 1 + input.next() % 40;
    int height = 1 + input.next() % 40;
    CCaptureEncoderExt encoder;
    encoder.setKeepClones(input.next() % 4 != 0);
    std::vector<CImageExt> images;
    std::vector<std::uint32_t> ids;
    CImageExt image;
    image.create(width, height, bits);
    for (int n = 0; n < 80 && !input.empty(); ++n) {
        const std::uint8_t op = input.next();
        if (op % 16 == 0) {  // another size
            width = 1 + input.next() % 40;
            height = 1 + input.next() % 40;
            image.create(width, height, bits);
        }
        for (int change = 0; change < op % 4; ++change) {
            const int x = input.next() % width, y = input.next() % height;
            const int w = 1 + input.next() % width, h = 1 + input.next() % height;
            const std::uint32_t colour = input.next() * 0x01030507u;
            for (int row = y; row < std::min(height, y + h); ++row)
                for (int column = x; column < std::min(width, x + w); ++column)
                    image.setPixel(column, row, colour);
        }
        if (const auto id = encoder.addPicture(image)) {
            ids.push_back(*id);
            images.emplace_back();
            image.copyTo(images.back());
        }
        if (op % 16 == 7 && !ids.empty()) {  // an edit: one earlier picture goes
            const std::size_t doomed = input.next() % ids.size();
            check(encoder.removePicture(ids[doomed]));
            ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(doomed));
            images.erase(images.begin() + static_cast<std::ptrdiff_t>(doomed));
        }
    }
    CKWXMemFile file;
    {
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        check(encoder.write(archive));
        archive.Close();
    }
    file.SeekTo(0);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    CCaptureEncoderExt loaded;
    check(loaded.read(archive));
    check(loaded.pictureCount() == static_cast<int>(ids.size()));
    for (std::size_t i : shuffledIndices(ids.size(), seed)) {
        CImageExt rebuilt;
        check(loaded.pictureImage(rebuilt, ids[i]) && rebuilt.equals(images[i]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    const unsigned seed = static_cast<unsigned>(data[0] >> 1) + static_cast<unsigned>(size);
    if (data[0] % 2 == 0)
        readAndRebuild(rest, seed);
    else
        encodeWriteRead(Bytes(rest), seed);
    return 0;
}
