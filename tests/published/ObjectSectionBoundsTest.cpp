#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "published/ObjectSectionReader.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::DemoContent;
using zcd::ZcdOut;

// The object stream's counted lists in stored order, each with its smallest record, written by
// hand so that a list can claim more records than follow it.
enum List {
    kFrames,
    kPool,
    kCursors,
    kCursorPlacements,
    kTemplates,
    kCaptions,
    kCaptionPlacements,
    kImages,
    kImagePlacements,
    kHighlights,
    kHighlightPlacements,
    kListCount
};

const char* const kTruncated[kListCount] = {
    "truncated frame list",          "truncated picture pool",
    "truncated cursor section",      "truncated cursor placements",
    "truncated caption templates",   "truncated captions",
    "truncated caption placements",  "truncated images",
    "truncated image placements",    "truncated highlights",
    "truncated highlight placements"};

void placementRecord(ZcdOut& out) {  // kind or ids, kind or ids, 4 floats-or-order, 6 timings
    for (int i = 0; i < 13; ++i)
        out.i32(0);
}

void record(ZcdOut& out, List list) {
    switch (list) {
        case kFrames:
            out.i32(1);
            for (int i = 0; i < 3; ++i)
                out.f32(0);
            break;
        case kPool:
            out.u8(0);
            out.blob({});  // nothing to decode: skipped, not fatal
            break;
        case kCursors:
            out.point({});
            out.u8(0);
            out.u8(0);
            break;
        case kCursorPlacements:
            out.u16(0);
            out.i32(1);
            out.u8(0);
            out.u16(0);
            out.u16(0);
            break;
        case kTemplates:
            out.i32(0);
            out.point({});
            out.rect({});
            out.string("");
            out.u32(0);
            break;
        case kCaptions:
            out.i32(0);
            out.rect({});
            out.u32(0);
            out.rect({});
            out.string("");
            break;
        case kImages:
            out.i32(0);
            out.i32(0);
            out.rect({});
            break;
        case kHighlights:
            out.i32(0);
            out.rect({});
            out.u32(0);
            out.u32(0);
            out.f32(0);
            out.u8(0);
            break;
        case kCaptionPlacements:
        case kImagePlacements:
        case kHighlightPlacements:
            placementRecord(out);
            break;
        case kListCount:
            break;
    }
}

// `records` minimal records in `list`, the count stored as `declared`; every other list empty.
std::vector<std::uint8_t> objectStream(List list, std::int32_t declared, int records) {
    ZcdOut out;
    auto counted = [&](List here) {
        out.i32(here == list ? declared : 0);
        if (here == kFrames)
            out.u8(0);  // no master frame
        if (here == list)
            for (int i = 0; i < records; ++i)
                record(out, here);
    };
    counted(kFrames);
    counted(kPool);
    out.bytes(std::vector<std::uint8_t>(16));
    counted(kCursors);
    counted(kCursorPlacements);
    out.bytes(std::vector<std::uint8_t>(16));
    out.u8(0);  // templates, not caption images
    counted(kTemplates);
    counted(kCaptions);
    counted(kCaptionPlacements);
    out.bytes(std::vector<std::uint8_t>(16));
    counted(kImages);
    counted(kImagePlacements);
    out.bytes(std::vector<std::uint8_t>(16));
    counted(kHighlights);
    counted(kHighlightPlacements);
    return zcd::deflatePacked(out.take());
}

bool read(const std::vector<std::uint8_t>& packed, DemoContent& content, std::string& error) {
    return NKWXDecodersEncoders::readObjectStream(packed, {}, nullptr, content, error);
}

std::size_t recordsIn(const DemoContent& c, List list) {
    switch (list) {
        case kFrames:
            return c.frames.size();
        case kPool:
            return c.pool.size();
        case kCursors:
            return c.cursors.size();
        case kTemplates:
            return c.templates.size();
        case kCaptions:
            return c.captions.size();
        case kImages:
            return c.images.size();
        case kHighlights:
            return c.highlights.size();
        default:  // placements naming nothing are listed as skipped
            return c.skipped.size();
    }
}

// Many smallest records, more than the bytes of all the empty lists after them, so that a least
// record size one larger than a real record refuses the list.
TEST(ObjectSectionBounds, ListsOfSmallestRecordsLoad) {
    constexpr int kRecords = 200;
    for (int list = 0; list < kListCount; ++list) {
        DemoContent content;
        std::string error;
        ASSERT_TRUE(read(objectStream(List(list), kRecords, kRecords), content, error))
            << kTruncated[list] << ": " << error;
        EXPECT_EQ(recordsIn(content, List(list)), std::size_t{kRecords}) << kTruncated[list];
    }
}

// Counts no stream could hold fail in their own list, before anything is made for them; the last
// list, with nothing after it, also fails one record past what follows.
TEST(ObjectSectionBounds, CountsPastTheRecordsFailInTheirList) {
    for (int list = 0; list < kListCount; ++list)
        for (std::int32_t declared : {INT32_MAX, -1, list == kHighlightPlacements ? 4 : -1}) {
            DemoContent content;
            std::string error;
            EXPECT_FALSE(read(objectStream(List(list), declared, 3), content, error));
            EXPECT_NE(error.find(kTruncated[list]), std::string::npos)
                << declared << " in " << kTruncated[list] << ": " << error;
        }
}

}  // namespace
}  // namespace lumenreel::test
