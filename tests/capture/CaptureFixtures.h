#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "base/MemFile.h"
#include "capture/CaptureEncoder.h"
#include "images/ImageExt.h"
#include "published/DemoPictures.h"
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel::test {

// A flat picture with a few stripes, so that changes stand out from something other than black.
inline CImageExt flatPicture(int width, int height, int bits) {
    CImageExt image;
    image.create(width, height, bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | ((y / 3) % 2 ? 0x405060u : 0x708090u));
    return image;
}

inline CImageExt copyOf(const CImageExt& image) {
    CImageExt copy;
    image.copyTo(copy);
    return copy;
}

// The keyed stored form made by the store step, as bytes.
inline std::vector<std::uint8_t> storeKeyed(
    const std::function<bool(CSerializeInterface&)>& store) {
    CKWXMemFile file;
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
    EXPECT_TRUE(store(archive));
    archive.Close();
    return file.Detach();
}

inline bool loadKeyed(const std::vector<std::uint8_t>& bytes,
                      const std::function<bool(CSerializeInterface&)>& load) {
    CKWXOleStreamFile file(bytes);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    return load(archive);
}

inline std::vector<std::uint8_t> writtenEncoder(CCaptureEncoderExt& encoder) {
    return storeKeyed([&](CSerializeInterface& archive) { return encoder.write(archive); });
}

inline bool readEncoder(CCaptureEncoderExt& encoder, const std::vector<std::uint8_t>& bytes) {
    return loadKeyed(bytes, [&](CSerializeInterface& archive) { return encoder.read(archive); });
}

// Every picture, asked for in a shuffled order, rebuilds to exactly the image it was made of.
inline void expectRebuildsInAnyOrder(CCaptureEncoderExt& encoder,
                                     const std::vector<std::uint32_t>& ids,
                                     const std::vector<const CImageExt*>& images, unsigned seed) {
    std::vector<std::size_t> order(ids.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    CImageExt rebuilt;
    for (std::size_t i : order) {
        ASSERT_TRUE(encoder.pictureImage(rebuilt, ids[i])) << "picture " << ids[i];
        EXPECT_TRUE(rebuilt.equals(*images[i])) << "picture " << ids[i];
    }
}

}  // namespace lumenreel::test
