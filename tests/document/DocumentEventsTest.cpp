#include <gtest/gtest.h>

#include "DocumentFixtures.h"

namespace lumenreel::test {
namespace {

struct SoundListener : CZCDocEventsInterface {
    using CZCDocEventsInterface::CZCDocEventsInterface;
    void event_beforesoundEffectModify() override { ++before; }
    void event_soundEffectModified() override { ++after; }
    void event_frameAdded(std::uint32_t serial) override { added.push_back(serial); }
    int before = 0;
    int after = 0;
    std::vector<std::uint32_t> added;
};

void fillSound(CWaveSoundResource& sound, std::size_t bytes) {
    const WaveFormat format = WaveFormat::pcm(8000, 1, 8);
    sound.SetData(std::vector<std::uint8_t>(bytes, 0x80), &format);
}

TEST(DocumentEvents, AViewsListenerHearsOnlyItsDocumentAnyOtherHearsAll) {
    CZephyrcastBaseDocument mine;
    CZephyrcastBaseDocument other;
    int viewOwner = 0;
    int paneOwner = 0;
    SoundListener view(&viewOwner, &other);
    SoundListener pane(&paneOwner);
    const std::int32_t serial = mine.appendFrame().serialNumber();
    EXPECT_TRUE(view.added.empty());
    EXPECT_EQ(pane.added, std::vector<std::uint32_t>{static_cast<std::uint32_t>(serial)});
}

TEST(DocumentEvents, AGoneListenerHearsNothingMore) {
    CZephyrcastBaseDocument document;
    int owner = 0;
    auto listener = std::make_unique<SoundListener>(&owner);
    EXPECT_EQ(CZCDocEventsDispatch::listenerFor(&owner), listener.get());
    listener.reset();
    EXPECT_EQ(CZCDocEventsDispatch::listenerFor(&owner), nullptr);
    document.appendFrame();
}

TEST(DocumentEvents, ASoundtrackChangeIsAnnouncedOnlyWhenSomethingChanges) {
    CZephyrcastBaseDocument document;
    int owner = 0;
    SoundListener listener(&owner);
    CWaveSoundResource sound;
    fillSound(sound, 100);
    document.setSoundtrack(nullptr);
    EXPECT_EQ(listener.before, 0);
    document.setSoundtrack(&sound);
    EXPECT_EQ(listener.before, 1);
    EXPECT_EQ(listener.after, 1);
    document.setSoundtrack(&sound);
    EXPECT_EQ(listener.before, 1);
    document.setSoundtrack(nullptr);
    EXPECT_EQ(listener.after, 2);
    EXPECT_TRUE(document.soundtrack().IsEmpty());
}

}  // namespace
}  // namespace lumenreel::test
