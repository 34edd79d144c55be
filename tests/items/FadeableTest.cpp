#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "items/DrawItemFadeable.h"
#include "items/ItemSchema.h"
#include "items/SoundEffectItem.h"

namespace lumenreel::test {
namespace {

struct FadeRecord final : PropertiesOf<FadeRecord, FadeablePropertiesBase> {};

// The least a fading item needs: its visible interval is its placement's.
class FadingItem : public CDrawItem_zcFadeable {
public:
    explicit FadingItem(float transparency)
        : CDrawItem_zcFadeable(kCommonItemTypeId, std::make_unique<FadeRecord>(), "fading", 3) {
        static_cast<FadeRecord&>(properties()).transparency = transparency;
    }
    void draw(CImageExt&, const ItemDrawContext&) override {}
    Rect bounds() override { return {}; }
    std::unique_ptr<CDrawCommonItem> createBlank() const override {
        return std::make_unique<FadingItem>(0.0f);
    }
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override {
        placementSpan(context, start, end);
    }
};

struct SingleFrameCase {
    int fadeType;
    float time;
    float expected;
};

class SingleFrameFade : public ::testing::TestWithParam<SingleFrameCase> {};

// One frame of 4 s, the item over all of it, fades of 1 s, transparency 0.
TEST_P(SingleFrameFade, FollowsTheFadeType) {
    const SingleFrameCase c = GetParam();
    FakeDocument document;
    document.frames.resize(1);
    document.frames[0].duration = 4.0f;
    FadingItem item(0.0f);
    item.setDocument(&document);
    document.place(0, item, 0.0f, 4.0f, c.fadeType);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, c.time)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SingleFrameFade,
    ::testing::Values(SingleFrameCase{0, 0.0f, 0.0f}, SingleFrameCase{0, 3.9f, 0.0f},
                      SingleFrameCase{1, 0.0f, 1.0f}, SingleFrameCase{1, 0.25f, 0.75f},
                      SingleFrameCase{1, 3.9f, 0.0f}, SingleFrameCase{2, 0.0f, 0.0f},
                      SingleFrameCase{2, 3.5f, 0.5f}, SingleFrameCase{2, 4.0f, 1.0f},
                      SingleFrameCase{3, 0.5f, 0.5f}, SingleFrameCase{3, 2.0f, 0.0f},
                      SingleFrameCase{3, 3.75f, 0.75f}));

TEST(Fadeable, FadeInOfTwoReachesOpaqueAfterTwoSeconds) {
    FakeDocument document;
    document.frames.resize(1);
    document.frames[0].duration = 5.0f;
    FadingItem item(0.0f);
    item.setDocument(&document);
    document.place(0, item, 0.0f, 5.0f, kFadeIn, 2.0f);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 0.0f)), 1.0f);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 1.0f)), 0.5f);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 2.0f)), 0.0f);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 4.0f)), 0.0f);
}

TEST(Fadeable, FadeOutWaitsForALongFadeIn) {
    FakeDocument document;
    document.frames.resize(1);
    document.frames[0].duration = 2.0f;
    FadingItem item(0.0f);
    item.setDocument(&document);
    document.place(0, item, 0.0f, 2.0f, kFadeBoth, 1.5f, 1.5f);
    // At 1.0 both fades overlap: the fade-in (1 − 1/1.5) holds.
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 1.0f)), 1.0f - 1.0f / 1.5f);
    // After the fade-in the fade-out applies: 0 + (1.8 − 0.5) / 1.5.
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 1.8f)), 1.3f / 1.5f);
}

TEST(Fadeable, WithoutTimeTheOpacityFactorScales) {
    FakeDocument document;
    document.frames.resize(1);
    FadingItem item(0.25f);
    item.setDocument(&document);
    document.place(0, item, 0.0f, 1.0f, kFadeBoth);
    ItemDrawContext context = document.contextAt(0, item, -1.0f);
    EXPECT_FLOAT_EQ(item.transparencyAt(context), 0.25f);
    context.opacity = 0.0f;
    EXPECT_FLOAT_EQ(item.transparencyAt(context), 1.0f);
}

TEST(Fadeable, ZeroLengthFadesAreNoFadesInsteadOfNaN) {
    FakeDocument document;
    document.frames.resize(1);
    FadingItem item(0.0f);
    item.setDocument(&document);
    document.place(0, item, 0.0f, 1.0f, kFadeBoth, 0.0f, -1.0f);
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(0, item, 0.5f)), 0.0f);
}

struct SpanCase {
    int frame;
    float time;
    float expected;
};

class FramesTwoToFour : public ::testing::TestWithParam<std::tuple<bool, SpanCase>> {};

// Six frames of 2 s; the item fades in and out on each of frames 2, 3 and 4, so over the run it
// fades in only at the start of frame 2 and out only at the end of frame 4. The variant hides
// frame 3 and takes the item off it: the hidden frame does not break the run.
TEST_P(FramesTwoToFour, FadeOnlyAtTheEndsOfTheRun) {
    const auto [hideThree, c] = GetParam();
    FakeDocument document;
    document.frames.resize(6);
    for (auto& frame : document.frames)
        frame.duration = 2.0f;
    FadingItem item(0.0f);
    item.setDocument(&document);
    for (int frame = 2; frame <= 4; ++frame)
        if (!(hideThree && frame == 3))
            document.place(frame, item, 0.0f, 2.0f, kFadeBoth);
    if (hideThree)
        document.frames[3].visible = false;
    EXPECT_FLOAT_EQ(item.transparencyAt(document.contextAt(c.frame, item, c.time)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramesTwoToFour,
    ::testing::Combine(::testing::Bool(),
                       ::testing::Values(SpanCase{2, 0.0f, 1.0f}, SpanCase{2, 0.5f, 0.5f},
                                         SpanCase{2, 1.9f, 0.0f}, SpanCase{4, 0.1f, 0.0f},
                                         SpanCase{4, 1.5f, 0.5f}, SpanCase{4, 2.0f, 1.0f})));

TEST(Fadeable, NewPlacementsTakeTheDefaultFade) {
    FadingItem item(0.0f);
    CDrawItem_link placement;
    placement.fadeIn = 3.0f;
    item.initPlacement(2.5f, placement);
    EXPECT_EQ(placement.fadeType, 3);
    EXPECT_FLOAT_EQ(placement.visEnd, 2.5f);
    EXPECT_FLOAT_EQ(placement.fadeIn, 1.0f);
}

}  // namespace
}  // namespace lumenreel::test
