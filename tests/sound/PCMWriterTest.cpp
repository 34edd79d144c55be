#include "sound/PCMWriter.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound/RecordingOutputDevice.h"

namespace lumenreel::test {
namespace {

// Writes reach the device on the writer's own thread while there is room, so a device that
// plays nothing shows exactly how many buffers the writer lets it hold.
TEST(PCMWriterTest, TheDeviceHoldsAtMostTheQueueLimit) {
    auto recorder = DeviceRecorder::create();
    CPCMWriter writer(recorder->factory());
    ASSERT_TRUE(writer.Open(44100, 2, 16));
    const std::vector<std::uint8_t> buffer(1024, 7);
    for (std::size_t i = 0; i < CPCMWriter::kMaxQueued; ++i)
        writer.Write(buffer.data(), buffer.size());
    EXPECT_EQ(writer.QueuedCount(), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->count(DeviceCall::Kind::write), CPCMWriter::kMaxQueued);
    writer.Write(buffer.data(), buffer.size());  // one past the limit waits in the writer
    EXPECT_EQ(writer.QueuedCount(), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->count(DeviceCall::Kind::write), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->queuedBytes(), CPCMWriter::kMaxQueued * buffer.size());
    EXPECT_FALSE(writer.IsIdle());
    writer.Flush();
    EXPECT_TRUE(writer.IsIdle());
    EXPECT_EQ(recorder->queuedBytes(), 0u);
    writer.Close();
}

}  // namespace
}  // namespace lumenreel::test
