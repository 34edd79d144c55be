#include <gtest/gtest.h>

#include "items/DrawItemSmoke.h"

#include "DocumentFixtures.h"
#include "base/MemFile.h"
#include "items/ItemCounters.h"
#include "items/ItemFixtures.h"

#include <algorithm>
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

CImageExt renderAt(CZephyrcastBaseDocument& document, float t) {
    CImageExt picture;
    EXPECT_TRUE(document.drawAtTime(picture, t)) << t;
    return picture;
}

Bytes saved(CZephyrcastBaseDocument& document) {
    auto bytes = document.save();
    EXPECT_TRUE(bytes) << document.lastError();
    return bytes.value_or(Bytes{});
}

Bytes savedOlderForm(CZephyrcastBaseDocument& document) {
    CKWXMemFile file;
    CSerializeInterface archive(file, CSerializeInterface::modeStore);
    EXPECT_TRUE(document.serialize(archive, DocumentForm::older));
    archive.Close();
    return {file.Bytes().begin(), file.Bytes().end()};
}

struct FrameSpec {
    float duration;
    bool visible;
    int index;
};

void buildFrames(CZephyrcastBaseDocument& document, std::initializer_list<FrameSpec> frames) {
    document.setFrameSize(kFrameSize);
    for (const FrameSpec& spec : frames) {
        CZephyrcastFrameElement& frame = document.appendFrame();
        frame.frameInfo().duration = spec.duration;
        frame.frameInfo().visibility = spec.visible;
        frame.frameInfo().index = spec.index;
    }
    settle(document);
}

TEST(Document, HiddenFramesAddNoTime) {
    CZephyrcastBaseDocument document;
    buildFrames(document, {{2, true, 0}, {3, false, 1}, {4, true, 2}});
    EXPECT_FLOAT_EQ(document.startTimeOf(2), 2.0f);
    EXPECT_FLOAT_EQ(document.startTimeOf(0), 0.0f);
    EXPECT_EQ(document.frameAtTime(2.0f), document.frameAt(2));
    EXPECT_EQ(document.frameAtTime(1.99f), document.frameAt(0));
    EXPECT_EQ(document.frameAtTime(100.0f), document.frameAt(2));
    EXPECT_FLOAT_EQ(document.totalDuration(), 6.0f);
    EXPECT_FLOAT_EQ(document.masterFrame().frameInfo().duration, 6.0f);
    EXPECT_EQ(document.frameAt(-1), &document.masterFrame());
    EXPECT_EQ(document.frameAtChecked(3), nullptr);
    EXPECT_EQ(document.nextVisibleFrame(*document.frameAt(0)), document.frameAt(2));
    EXPECT_EQ(document.previousVisibleFrame(*document.frameAt(2)), document.frameAt(0));
}

TEST(Document, AnAllHiddenDocumentLastsNothingAndShowsItsLastFrame) {
    CZephyrcastBaseDocument document;
    buildFrames(document, {{2, false, 0}, {3, false, 1}});
    EXPECT_FLOAT_EQ(document.totalDuration(), 0.0f);
    EXPECT_EQ(document.frameAtTime(0.0f), document.frameAt(1));
}

TEST(Document, TwoFramesClaimingOnePositionLeaveTheOtherEmpty) {
    CZephyrcastBaseDocument document;
    buildFrames(document, {{2, true, 1}, {3, true, 1}});
    EXPECT_EQ(document.frameAt(0), nullptr);
    EXPECT_EQ(document.frameAt(1), document.framePool()[1].get());
    EXPECT_EQ(document.frameAtTime(0.0f), nullptr);
    CImageExt picture;
    EXPECT_FALSE(document.drawAtTime(picture, 0.0f));
}

TEST(Document, TheEndIsDrawnAMomentBeforeIt) {
    CZephyrcastBaseDocument document;
    buildRichDocument(document);
    const float total = document.totalDuration();
    ASSERT_FLOAT_EQ(total, 7.0f);
    EXPECT_TRUE(renderAt(document, total).equals(renderAt(document, total - 0.001f)));
    EXPECT_TRUE(renderAt(document, total + 5.0f).equals(renderAt(document, total - 0.001f)));
    EXPECT_FALSE(renderAt(document, total).equals(renderAt(document, 0.0f)));
}

TEST(Document, ARoundTripRendersTheSamePictures) {
    BalloonTheme theme({5, 5, 55, 35});
    theme.manager().setCurrentTheme(*theme.theme());
    CZephyrcastBaseDocument built(&theme.manager());
    buildRichDocument(built);
    const Bytes bytes = saved(built);

    CZephyrcastBaseDocument read(&theme.manager());
    ASSERT_TRUE(read.load(bytes)) << read.lastError();
    EXPECT_EQ(read.loadedForm(), DocumentForm::current);
    EXPECT_TRUE(read.skipped().empty()) << read.skipped().front();
    ASSERT_EQ(read.frameCount(), 4);
    EXPECT_FLOAT_EQ(read.totalDuration(), 7.0f);
    EXPECT_EQ(read.frameSize(), kFrameSize);
    for (float t : {0.0f, 0.4f, 1.0f, 1.9f, 2.0f, 2.7f, 4.4f, 5.0f, 6.5f, 7.0f})
        EXPECT_TRUE(renderAt(built, t).equals(renderAt(read, t))) << "at " << t;
    // Background pictures differ between frames, so the comparison above sees them.
    EXPECT_FALSE(renderAt(read, 0.0f).equals(renderAt(read, 6.5f)));
    const auto builtSound = built.soundtrack().GetDataRecord();
    const auto readSound = read.soundtrack().GetDataRecord();
    EXPECT_TRUE(std::ranges::equal(builtSound.data, readSound.data));
    EXPECT_EQ(builtSound.format, readSound.format);
    const CThumbsManager::Record* thumb = read.thumbnails().recordOf(*read.frameAt(0));
    ASSERT_TRUE(thumb && thumb->picture);
    EXPECT_FALSE(thumb->dirty);
    EXPECT_EQ(thumb->picture->pixel(3, 3) & 0xFFFFFF, 0x112233u);
}

// The player's theme has one balloon template: a caption asking for the sixth gets the first, and
// the item set the theme uses; a text-only caption keeps what it asked for.
TEST(Document, ACaptionAskingForATemplateTheThemeLacksGetsItsFirst) {
    BalloonTheme theme({5, 5, 55, 35}, true);
    theme.manager().setCurrentTheme(*theme.theme());
    CZephyrcastBaseDocument built(&theme.manager());
    buildRichDocument(built);
    CZephyrcastFrameElement& frame = *built.frameAt(0);
    auto caption = [&](bool onlyText) -> CDrawItem_zcSmoke& {
        auto item = std::make_unique<CDrawItem_zcSmoke>();
        item->smokeProperties().templateIndex = 5;
        item->smokeProperties().themeItemName = "Elsewhere";
        item->smokeProperties().onlyText = onlyText;
        item->setPlainText("Hi");
        return own(built, frame, std::move(item), placement(0.0f, 2.0f));
    };
    const std::int32_t balloonSerial = caption(false).serialNumber();
    const std::int32_t textSerial = caption(true).serialNumber();

    CZephyrcastBaseDocument read(&theme.manager());
    ASSERT_TRUE(read.load(saved(built))) << read.lastError();
    auto* balloon = dynamic_cast<CDrawItem_zcSmoke*>(read.findItemBySerial(balloonSerial));
    auto* text = dynamic_cast<CDrawItem_zcSmoke*>(read.findItemBySerial(textSerial));
    ASSERT_TRUE(balloon && text);
    EXPECT_EQ(balloon->smokeProperties().templateIndex, 0);
    EXPECT_EQ(balloon->smokeProperties().themeItemName, "Mine");
    EXPECT_EQ(text->smokeProperties().templateIndex, 5);
    EXPECT_EQ(text->smokeProperties().themeItemName, "Elsewhere");
}

TEST(Document, AnItemOwnedOnceIsTheSameObjectOnEveryFrame) {
    CZephyrcastBaseDocument built;
    buildRichDocument(built);
    CZephyrcastBaseDocument read;
    ASSERT_TRUE(read.load(saved(built))) << read.lastError();
    CDrawCommonItem* owned = read.frameAt(0)->itemList().itemAt(0);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(read.frameAt(0)->itemList().placementAt(0)->status, 0);
    for (int position : {2, 3}) {
        const CDrawCommonItemListManager& list = read.frameAt(position)->itemList();
        ASSERT_GE(list.count(), 1);
        EXPECT_EQ(list.itemAt(0), owned);
        EXPECT_EQ(list.placementAt(0)->status, 1);
    }
    const SItemSpan& span = read.itemSpans().at(owned->serialNumber());
    EXPECT_EQ(span.first, 0);
    EXPECT_EQ(span.last, 3);
    EXPECT_FLOAT_EQ(span.end, 5.0f + 1.0f);
}

TEST(Document, AReferenceToAMissingItemIsDroppedAndListed) {
    CZephyrcastBaseDocument built;
    buildRichDocument(built);
    CDrawItem_link dangling = placement(0.0f, 1.0f);
    dangling.status = 1;
    dangling.uniqueId = 99999;
    built.framePool()[3]->itemList().insert(dangling, nullptr);
    const int before = built.framePool()[3]->itemList().count();
    CZephyrcastBaseDocument read;
    ASSERT_TRUE(read.load(saved(built))) << read.lastError();
    EXPECT_EQ(read.frameAt(3)->itemList().count(), before - 1);
    ASSERT_EQ(read.skipped().size(), 1u);
    EXPECT_NE(read.skipped()[0].find("missing item 99999"), std::string::npos);
}

TEST(Document, TheMasterFramesItemsLieOverEveryFrameInMovieTime) {
    CZephyrcastBaseDocument document;
    buildFrames(document, {{2, true, 0}, {2, true, 1}});
    setBackground(document, *document.framePool()[0], framePicture(0));
    setBackground(document, *document.framePool()[1], framePicture(1));
    // Pictures show for their whole frame; short fades at both ends bound them in time.
    CDrawItem_link span = placement(1.0f, 3.0f, kFadeBoth);
    span.fadeIn = span.fadeOut = 0.1f;
    own(document, document.masterFrame(), pictureAt({20, 20}, 0xFF00FF00), span);
    settle(document);
    auto greenAt = [&](float t) { return renderAt(document, t).pixel(25, 25) & 0xFFFFFF; };
    EXPECT_EQ(greenAt(0.5f), 0x203040u);
    EXPECT_EQ(greenAt(1.5f), 0x00FF00u);
    EXPECT_EQ(greenAt(2.5f), 0x00FF00u);
    EXPECT_EQ(greenAt(3.5f), 0x203040u);
    // The frame's opacity factor leaves the master frame's items as they are.
    document.framePool()[1]->frameInfo().transparency = 0.0f;
    EXPECT_EQ(greenAt(2.5f), 0x00FF00u);
}

TEST(Document, AFramesOpacityFactorScalesItsItems) {
    struct Case {
        float factor;
        std::uint32_t expected;
    };
    for (const Case& c : {Case{1.0f, 0x0000FF}, Case{0.5f, blended(0x0000FF, 0x203040, 127)},
                          Case{0.0f, 0x203040}}) {
        CZephyrcastBaseDocument document;
        buildFrames(document, {{2, true, 0}});
        CZephyrcastFrameElement& frame = *document.framePool()[0];
        setBackground(document, frame, framePicture(7));
        own(document, frame, pictureAt({20, 20}, 0xFF0000FF), placement(0.0f, 2.0f));
        frame.frameInfo().transparency = c.factor;
        expectColour(renderAt(document, 1.0f).pixel(25, 25) & 0xFFFFFF, c.expected, 2);
    }
}

TEST(Document, BothFormsOfADocumentReadIntoEqualObjects) {
    CZephyrcastBaseDocument built;
    buildFrames(built, {{2, true, 0}, {1, false, 1}, {3, true, 2}});
    auto& pool = built.framePool();
    for (int i = 0; i < 3; ++i) {
        setBackground(built, *pool[i], framePicture(i));
        giveCursor(*pool[i], {4 * i, 10}, 0.0f, 1.0f);
    }
    auto& highlight = own(built, *pool[0], highlightAt({4, 4, 20, 20}), placement(0, 2, kFadeIn));
    refer(*pool[2], highlight, 0.0f, 3.0f);
    own(built, *pool[2], pictureAt({30, 30}, 0xFF123456), placement(0.5f, 2.5f, kFadeBoth));
    built.thumbnails().setPicture(*pool[2], filled(8, 6, 0xFF445566));
    settle(built);
    itemCounters().sound = 1;

    CZephyrcastBaseDocument older;
    ASSERT_TRUE(older.load(savedOlderForm(built))) << older.lastError();
    EXPECT_EQ(older.loadedForm(), DocumentForm::older);
    EXPECT_TRUE(older.skipped().empty()) << older.skipped().front();
    CZephyrcastBaseDocument current;
    ASSERT_TRUE(current.load(saved(built))) << current.lastError();
    EXPECT_EQ(saved(older), saved(current));
    for (float t : {0.0f, 1.0f, 2.5f, 4.9f})
        EXPECT_TRUE(renderAt(older, t).equals(renderAt(current, t))) << t;
}

TEST(Document, OlderFormReadingLeavesTheSoundNumberAtOneAndNoSoundtrack) {
    CZephyrcastBaseDocument built;
    buildRichDocument(built);
    itemCounters().sound = 7;
    const Bytes older = savedOlderForm(built);
    CZephyrcastBaseDocument read;
    ASSERT_TRUE(read.load(older)) << read.lastError();
    EXPECT_EQ(itemCounters().sound, 1);
    EXPECT_TRUE(read.soundtrack().IsEmpty());
}

}  // namespace
}  // namespace lumenreel::test

namespace lumenreel::test {
namespace {

// A current-form root whose "num_all_frames" says count and that holds nothing after it.
std::vector<std::uint8_t> rootClaimingFrames(std::int32_t count) {
    return keyedBytes([count](CSerializeInterface& archive) {
        archive.EnterSection(kDocumentRootSection);
        std::string type = kDocumentType;
        archive.SetKey("document_type");
        archive.ExchangeString(type);
        serializeEffectsIdsPool(archive);
        std::int32_t frames = count;
        archive.SetKey("num_all_frames");
        archive.Exchange(frames);
        archive.LeaveSection();
    });
}

TEST(DocumentHostile, DamageToTheFramePoolOrBackgroundsFailsTheLoad) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    CZephyrcastBaseDocument unboundPicture;
    buildRichDocument(unboundPicture);
    unboundPicture.framePool()[2]->backgroundReference().bind(999, 64, 48);
    const Case cases[] = {
        {"a frame count no file holds", rootClaimingFrames(2000000000), "out of range"},
        {"a negative frame count", rootClaimingFrames(-3), "out of range"},
        {"more frames claimed than stored", rootClaimingFrames(5), "no Frame0 section"},
        {"a background that is not in the stream", unboundPicture.save().value(),
         "background picture 999"},
    };
    for (const Case& c : cases) {
        CZephyrcastBaseDocument document;
        EXPECT_FALSE(document.load(c.bytes)) << c.name;
        EXPECT_NE(document.lastError().find(c.reason), std::string::npos)
            << c.name << ": " << document.lastError();
    }
}

TEST(DocumentHostile, ADamagedThumbnailIsSkippedAndListed) {
    CZephyrcastBaseDocument built;
    buildRichDocument(built);
    std::vector<std::uint8_t> bytes = built.save().value();
    // The thumbnail is the last PNG of the file; its header chunk is spoilt.
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G'};
    auto at = std::find_end(bytes.begin(), bytes.end(), std::begin(signature), std::end(signature));
    ASSERT_NE(at, bytes.end());
    at[16] ^= 0xFF;
    at[17] ^= 0xFF;
    CZephyrcastBaseDocument read;
    ASSERT_TRUE(read.load(bytes)) << read.lastError();
    const CThumbsManager::Record* thumb = read.thumbnails().recordOf(*read.frameAt(0));
    ASSERT_NE(thumb, nullptr);
    EXPECT_FALSE(thumb->picture);
    EXPECT_TRUE(thumb->dirty);
    ASSERT_EQ(read.skipped().size(), 1u);
    EXPECT_NE(read.skipped()[0].find("thumbnail 0"), std::string::npos);
}

}  // namespace
}  // namespace lumenreel::test
