// The tour's own screens, as the build writes them, kept as a document would keep its
// backgrounds: every one comes back exactly, in any order, after a write and a read.
#include <gtest/gtest.h>

#include <vector>

#include "capture/CaptureFixtures.h"
#include "published/ExternalFormatReader.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

TEST(TourCaptureTest, TheTourScreensRoundTripExactly) {
    NKWXDecodersEncoders::CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(readBytes(binaryDir() / "tour.zcd"))) << reader.lastError();
    std::vector<CImageExt> screens;
    for (int i = 0; i < reader.GetFrameCount(); ++i) {
        const CImageExt* picture = reader.GetFramePicture(reader.GetFrame(i));
        ASSERT_TRUE(picture) << "frame " << i;
        screens.push_back(copyOf(*picture));
    }
    ASSERT_GE(screens.size(), 10u);

    CCaptureEncoderExt encoder;
    std::vector<std::uint32_t> ids;
    std::vector<const CImageExt*> pointers;
    for (const CImageExt& screen : screens) {
        ids.push_back(*encoder.addPicture(screen));
        pointers.push_back(&screen);
    }
    int deltas = 0;
    for (int i = 0; i < encoder.pictureCount(); ++i)
        deltas += encoder.pictureAt(i)->isKey() ? 0 : 1;
    EXPECT_GT(deltas, 0);  // the screens share most of their pixels

    CCaptureEncoderExt loaded;
    ASSERT_TRUE(readEncoder(loaded, writtenEncoder(encoder))) << loaded.lastError();
    expectRebuildsInAnyOrder(loaded, ids, pointers, 7);
}

}  // namespace
}  // namespace lumenreel::test
