#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "base/MemFile.h"
#include "sound/CompressedSoundResource.h"
#include "sound/WaveSoundResource.h"
#include "storage/SerializeInterfaceRB.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

template <class Resource>
std::vector<std::uint8_t> store(Resource& resource) {
    CKWXMemFile file;
    {
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        resource.Serialize(archive);
        archive.Close();
    }
    return file.Detach();
}

template <class Resource>
void load(Resource& resource, const std::vector<std::uint8_t>& bytes) {
    CKWXMemFile file(bytes);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    resource.Serialize(archive);
}

// Opens a stored resource for looking at its keys.
struct StoredView {
    explicit StoredView(const std::vector<std::uint8_t>& bytes)
        : file(bytes), archive(file, CSerializeInterface::modeLoad) {
        entered = archive.EnterSection("SOUND_RESOURCE");
    }
    CKWXMemFile file;
    CSerializeInterfaceRB archive;
    bool entered = false;
};

TEST(WaveStorageTest, RoundTripKeepsFormatAndDataStoredAsGzip) {
    WavFile wav = readWav(dataPath("sound/tone16.wav"));
    ASSERT_FALSE(wav.data.empty());
    CWaveSoundResource original(nullptr);
    original.SetData(wav.data, &wav.format);
    std::vector<std::uint8_t> stored = store(original);

    CWaveSoundResource copy(nullptr);
    load(copy, stored);
    EXPECT_EQ(copy.GetData(), wav.data);
    EXPECT_EQ(copy.GetFormat(), wav.format);
    EXPECT_EQ(copy.GetMaxLevel(), original.GetMaxLevel());

    StoredView view(stored);
    ASSERT_TRUE(view.entered);
    view.archive.SetKey("buffer_size");
    EXPECT_EQ(view.archive.ReadInt32A(), wav.data.size());
    EXPECT_FALSE(view.archive.EnterSection("RAW_DATA"));
    view.archive.LeaveSection();
    ASSERT_TRUE(view.archive.EnterSection("GZIP_DATA"));
    view.archive.SetKey("gzip_size");
    std::uint32_t packedSize = view.archive.ReadInt32A();
    EXPECT_GT(packedSize, 0u);
    EXPECT_LT(packedSize, wav.data.size());
}

TEST(WaveStorageTest, EmptyResourceStoresOnlyItsSize) {
    CWaveSoundResource empty(nullptr);
    StoredView view(store(empty));
    ASSERT_TRUE(view.entered);
    EXPECT_EQ(view.archive.CountEntries(), 2);  // "guid" and "buffer_size"
    view.archive.SetKey("buffer_size");
    std::uint32_t size = 99;
    EXPECT_TRUE(view.archive.ReadInt32A(size));
    EXPECT_EQ(size, 0u);
}

std::vector<std::uint8_t> storeRaw(std::uint32_t size, std::vector<std::uint8_t> raw,
                                   const WaveFormat& format) {
    CKWXMemFile file;
    {
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        archive.EnterSection("SOUND_RESOURCE");
        archive.SetKey("buffer_size");
        archive.WriteInt32A(size);
        archive.EnterSection("RAW_DATA");
        archive.SetKey("raw_data");
        archive.WriteBytes(raw.data(), raw.size());
        archive.LeaveSection();
        auto record = format.toRecord();
        archive.SetKey("info");
        archive.WriteBytes(record.data(), record.size());
        archive.LeaveSection();
        archive.Close();
    }
    return file.Detach();
}

TEST(WaveStorageTest, RawDataLoadsAndADamagedSizeLoadsNothing) {
    WaveFormat format = WaveFormat::pcm(8000, 1, 8);
    std::vector<std::uint8_t> raw = {10, 20, 30, 40, 50};
    CWaveSoundResource sound(nullptr);
    load(sound, storeRaw(5, raw, format));
    EXPECT_EQ(sound.GetData(), raw);
    EXPECT_EQ(sound.GetFormat(), format);
    EXPECT_EQ(sound.GetMinLevel(), 10u);

    // A size that does not match the block, or that no archive could hold, leaves it empty.
    for (std::uint32_t size : {4u, 0xFFFFFFF0u}) {
        CWaveSoundResource damaged(nullptr);
        load(damaged, storeRaw(size, raw, format));
        EXPECT_TRUE(damaged.IsEmpty()) << size;
        EXPECT_EQ(damaged.GetFormat(), WaveFormat{}) << size;
    }
}

TEST(CompressedStorageTest, OggAndMp3KeepTheirBytesUnderTheSameKeyAndPlayAfterLoading) {
    for (const char* name : {"tone.ogg", "tone.mp3"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = readBytes(dataPath(std::string("sound/") + name));
        auto recorder = DeviceRecorder::create();
        std::unique_ptr<CCompressedSoundResource> original, copy;
        if (std::string(name).ends_with(".ogg")) {
            original = std::make_unique<COggSoundResource>(recorder->factory());
            copy = std::make_unique<COggSoundResource>(recorder->factory());
        } else {
            original = std::make_unique<CMp3SoundResource>(recorder->factory());
            copy = std::make_unique<CMp3SoundResource>(recorder->factory());
        }
        original->SetData(bytes);
        std::vector<std::uint8_t> stored = store(*original);
        StoredView view(stored);
        ASSERT_TRUE(view.entered);
        std::vector<std::uint8_t> block(bytes.size());
        view.archive.SetKey("mp3_data");
        EXPECT_TRUE(view.archive.ReadBytes(block.data(), block.size()));
        EXPECT_EQ(block, bytes);

        load(*copy, stored);
        EXPECT_EQ(copy->GetData(), bytes);
        EXPECT_NEAR(copy->Duration(), 3.0, 0.03);
    }
}

}  // namespace
}  // namespace lumenreel::test
