#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "published/ImageSequenceDecoder.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::CImageSequenceDecoder;

// Entries of one group: the fields of each entry in stored order.
struct Group {
    int picture;
    std::vector<std::vector<int>> entries;
};

struct Groups {
    std::vector<Group> groups;
    std::optional<std::int32_t> total;  // the stored total; the entries' count when not given

    std::int32_t storedTotal() const {
        if (total)
            return *total;
        std::int32_t n = 0;
        for (const auto& g : groups)
            n += static_cast<std::int32_t>(g.entries.size());
        return n;
    }
};

// A picture stream written field by field, independent of the encoder, with 8-bit palette pixels
// whose index is the blue value. The base is four pixels wide and one high, three pictures:
//   picture 0 is full: 10 11 12 13
//   tiles: on picture 1, id 5 at x 2: 40; on picture 2, id 6: 20 21 and id 7: 30 31 32
//   picture 1: list B copies all of picture 0, list A puts tile 6 at x 0, list C puts the first
//   two pixels of tile 7 at x 1, then tile 5 lands at x 2.
struct HandStream {
    int width = 4, height = 1, count = 3, keyInterval = 30, bitsPerPixel = 8;
    std::vector<std::pair<int, std::vector<std::uint8_t>>> full = {{0, {10, 11, 12, 13}}};
    Groups smallTiles{{{1, {{2, 0, 1, 1}}}, {2, {{0, 0, 2, 1}, {0, 0, 3, 1}}}}, {}};
    Groups largeTiles;
    Groups listAShort;
    Groups listALong{{{1, {{6, 0, 0, 2, 1}}}}, {}};
    Groups listB{{{1, {{0, 0, 0, 4, 1}}}}, {}};
    Groups listC{{{1, {{7, 1, 0, 2, 1, 0, 0}}}}, {}};
    std::vector<std::uint8_t> tilePixels = {40, 20, 21, 30, 31, 32};

    std::vector<std::uint8_t> write() const {
        zcd::ZcdOut head, body;
        head.string("ZCE");
        head.i32(0x00010001);
        head.u8(static_cast<std::uint8_t>(bitsPerPixel));
        head.i32(keyInterval);
        head.i32(count);
        head.i32(0);
        head.i32(width);
        head.i32(height);
        if (bitsPerPixel <= 8)
            for (int i = 0; i < (1 << bitsPerPixel); ++i)
                body.bytes(std::vector<std::uint8_t>{std::uint8_t(i), 0, 0, 0});
        body.i32(static_cast<std::int32_t>(full.size()));
        for (const auto& [index, pixels] : full) {
            body.i32(index);
            body.bytes(pixels);
        }
        body.i32(0);  // all nodes, not used
        groups(body, smallTiles, {1, 1, 1, 1});
        groups(body, largeTiles, {2, 2, 2, 2});
        body.i32(0);  // before the short list, not used
        groups(body, listAShort, {2, 1, 1, 1, 1});
        groups(body, listALong, {4, 2, 2, 2, 2});
        groups(body, listB, {4, 2, 2, 2, 2});
        groups(body, listC, {4, 2, 2, 2, 2, 2, 2});
        body.bytes(tilePixels);
        auto stream = head.take();
        auto packed = zcd::deflatePacked(body.data());
        stream.insert(stream.end(), packed.begin(), packed.end());
        return stream;
    }

    static void groups(zcd::ZcdOut& out, const Groups& list, const std::vector<int>& widths) {
        out.i32(list.storedTotal());
        for (const auto& group : list.groups) {
            out.u16(static_cast<std::uint16_t>(group.picture));
            out.i32(static_cast<std::int32_t>(group.entries.size()));
            for (const auto& entry : group.entries)
                for (std::size_t i = 0; i < entry.size(); ++i) {
                    if (widths[i] == 1)
                        out.u8(static_cast<std::uint8_t>(entry[i]));
                    else if (widths[i] == 2)
                        out.u16(static_cast<std::uint16_t>(entry[i]));
                    else
                        out.i32(entry[i]);
                }
        }
    }
};

std::vector<std::uint32_t> pixelsOf(CImageSequenceDecoder& decoder, int picture) {
    CImageExt out;
    EXPECT_TRUE(decoder.GetPicture(out, picture));
    std::vector<std::uint32_t> row;
    for (int x = 0; x < out.width(); ++x)
        row.push_back(out.pixel(x, 0) & 0xFFFFFF);
    return row;
}

// Each list draws over the one before where they overlap, so any other order shows.
TEST(PictureStreamHandBuilt, ListsDrawInOrderBThenAThenCThenTiles) {
    CImageSequenceDecoder decoder;
    ASSERT_TRUE(decoder.Load(HandStream{}.write())) << decoder.lastError();
    EXPECT_EQ(pixelsOf(decoder, 0), (std::vector<std::uint32_t>{10, 11, 12, 13}));
    EXPECT_EQ(pixelsOf(decoder, 1), (std::vector<std::uint32_t>{20, 30, 40, 13}));
}

// Every bound the loader checks, at its limit (loads) and one past it (refused with its reason).
TEST(PictureStreamHandBuilt, EveryBoundHoldsAtItsLimitAndFailsOnePast) {
    struct Case {
        const char* name;
        std::function<void(HandStream&)> change;
        const char* error;              // null: loads
        const char* skipped = nullptr;  // loads, leaving out a damaged entry it names
    };
    auto manyCopies = [](int n) {
        return [n](HandStream& s) {  // picture 1 draws 9 pixels; the cap is 16 times its 4
            for (int i = 0; i < n; ++i)
                s.listB.groups[0].entries.push_back({0, 0, 0, 1, 1});
        };
    };
    const Case cases[] = {
        {"small tile reaching the right edge",
         [](HandStream& s) {
             s.smallTiles.groups[1].entries[1] = {1, 0, 3, 1};
         },
         nullptr},
        {"small tile one past the right edge",
         [](HandStream& s) {
             s.smallTiles.groups[1].entries[1] = {2, 0, 3, 1};
         },
         "tile outside"},
        {"small tile one past the bottom",
         [](HandStream& s) {
             s.smallTiles.groups[0].entries[0] = {2, 1, 1, 1};
         },
         "tile outside"},
        {"large tile filling the picture",
         [](HandStream& s) {
             s.largeTiles.groups = {{2, {{0, 0, 4, 1}}}};
             s.tilePixels.insert(s.tilePixels.end(), {1, 2, 3, 4});
         },
         nullptr},
        {"large tile one taller than the picture",
         [](HandStream& s) {
             s.largeTiles.groups = {{2, {{0, 0, 4, 2}}}};
             s.tilePixels.insert(s.tilePixels.end(), 8, 1);
         },
         "tile outside"},
        {"group naming the last picture",
         [](HandStream& s) {
             s.listB.groups.push_back({2, {{1, 0, 0, 1, 1}}});
         },
         nullptr},
        {"group naming one past the last picture",
         [](HandStream& s) {
             s.listB.groups.push_back({3, {{1, 0, 0, 1, 1}}});
         },
         "past the last"},
        {"groups one entry over their total", [](HandStream& s) { s.smallTiles.total = 2; },
         "exceed"},
        {"placement one past the right edge",
         [](HandStream& s) {
             s.listB.groups[0].entries[0] = {0, 1, 0, 4, 1};
         },
         nullptr, "placement outside picture"},
        {"placement one past the bottom",
         [](HandStream& s) {
             s.listALong.groups[0].entries[0] = {6, 0, 1, 2, 1};
         },
         nullptr, "placement outside picture"},
        {"short list A placement at the right edge",
         [](HandStream& s) {
             s.listAShort.groups = {{1, {{0, 3, 0, 1, 1}}}};
         },
         nullptr},
        {"short list A placement one past it",
         [](HandStream& s) {
             s.listAShort.groups = {{1, {{0, 4, 0, 1, 1}}}};
         },
         nullptr, "placement outside picture"},
        {"list C source reaching the right edge of its tile",
         [](HandStream& s) { s.listC.groups[0].entries[0] = {7, 1, 0, 2, 1, 1, 0}; }, nullptr},
        {"list C source one past its tile",
         [](HandStream& s) { s.listC.groups[0].entries[0] = {7, 1, 0, 2, 1, 2, 0}; }, nullptr,
         "list C entry of picture"},
        {"list C source one below its tile",
         [](HandStream& s) { s.listC.groups[0].entries[0] = {7, 1, 0, 2, 1, 1, 1}; }, nullptr,
         "list C entry of picture"},
        {"placement from one past the last tile",
         [](HandStream& s) {
             s.listALong.groups[0].entries[0] = {8, 0, 0, 1, 1};
         },
         nullptr, "list A entry of picture"},
        {"copy of the picture itself",
         [](HandStream& s) {
             s.listB.groups[0].entries[0] = {1, 0, 0, 4, 1};
         },
         nullptr, "list B entry of picture"},
        {"a full picture that is the last",
         [](HandStream& s) {
             s.full = {{0, {10, 11, 12, 13}}, {2, {1, 2, 3, 4}}};
             s.listALong.groups[0].entries[0][0] = 7;  // a full picture uses up a tile id
             s.listC.groups[0].entries[0][0] = 8;
         },
         nullptr},
        {"a full picture one past the last",
         [](HandStream& s) {
             s.full = {{0, {10, 11, 12, 13}}, {3, {1, 2, 3, 4}}};
             s.listALong.groups[0].entries[0][0] = 7;  // a full picture uses up a tile id
             s.listC.groups[0].entries[0][0] = 8;
         },
         "bad full picture index"},
        {"key interval 1", [](HandStream& s) { s.keyInterval = 1; }, nullptr},
        {"key interval 0", [](HandStream& s) { s.keyInterval = 0; }, "key interval"},
        {"1 bit per pixel", [](HandStream& s) { s.bitsPerPixel = 1; }, nullptr},
        {"0 bits per pixel", [](HandStream& s) { s.bitsPerPixel = 0; }, "bits per pixel"},
        {"9 bits per pixel", [](HandStream& s) { s.bitsPerPixel = 9; }, "bits per pixel"},
        {"a picture drawn 16 times its area", manyCopies(64 - 9), nullptr},
        {"one pixel more", manyCopies(64 - 9 + 1), "far more than its area"},
        {"the most pictures",
         [](HandStream& s) {
             s = {};
             s.count = 65536;
             s.full.clear();
             s.smallTiles = s.listALong = s.listB = s.listC = {};
             s.tilePixels.clear();
         },
         nullptr},
        {"one picture more",
         [](HandStream& s) {
             s = {};
             s.count = 65537;
         },
         "bad picture count"},
    };
    for (const Case& c : cases) {
        HandStream stream;
        c.change(stream);
        CImageSequenceDecoder decoder;
        bool loaded = decoder.Load(stream.write());
        if (!c.error) {
            EXPECT_TRUE(loaded) << c.name << ": " << decoder.lastError();
            const auto& skipped = decoder.skipped();
            EXPECT_EQ(skipped.size(), c.skipped ? 1u : 0u) << c.name;
            if (c.skipped && !skipped.empty()) {
                EXPECT_NE(skipped.front().find(c.skipped), std::string::npos)
                    << c.name << ": " << skipped.front();
            }
            continue;
        }
        EXPECT_FALSE(loaded) << c.name;
        EXPECT_NE(decoder.lastError().find(c.error), std::string::npos)
            << c.name << ": " << decoder.lastError();
    }
}

}  // namespace
}  // namespace lumenreel::test
