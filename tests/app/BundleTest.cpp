#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/Bundle.h"
#include "app/ExeResManipulator.h"
#include "app/PlayerDialog.h"
#include "app/ResourceTrailer.h"
#include "base/MemFile.h"
#include "player/SkinEmbedded.h"

namespace lumenreel::test {
namespace {

TrailerContents trailerOf(const std::vector<std::uint8_t>& file) {
    CKWXOleStreamFile stream(file);
    return readResourceTrailer(stream);
}

TEST(BundleTest, TheMovieAndSkinRideOnTheProgramAndRebundlingReplacesThem) {
    const std::vector<std::uint8_t> player(5000, 0x7F);
    const std::vector<std::uint8_t> demo = makeTestDemo(32, 24);
    const std::span<const std::uint8_t> skin = embeddedSkinPackage();
    std::vector<std::uint8_t> bundle;
    std::string reason;
    ASSERT_TRUE(makeBundle(player, demo, skin, bundle, reason)) << reason;
    TrailerContents contents = trailerOf(bundle);
    ASSERT_EQ(contents.status, TrailerContents::Status::ok);
    EXPECT_EQ(contents.programSize, player.size());
    EXPECT_TRUE(std::equal(player.begin(), player.end(), bundle.begin()));
    EXPECT_EQ(contents.resources[634], demo);
    EXPECT_EQ(contents.resources[633], std::vector<std::uint8_t>(skin.begin(), skin.end()));

    std::vector<std::uint8_t> again;
    ASSERT_TRUE(makeBundle(bundle, demo, std::nullopt, again, reason)) << reason;
    contents = trailerOf(again);
    ASSERT_EQ(contents.status, TrailerContents::Status::ok);
    EXPECT_EQ(contents.programSize, player.size());
    EXPECT_EQ(contents.resources.size(), 1u);
}

TEST(BundleTest, ADocumentRidesAsItsOwnResource) {
    const std::vector<std::uint8_t> player(100, 0x7F);
    const std::vector<std::uint8_t> document = richDocumentFile();
    std::vector<std::uint8_t> bundle;
    std::string reason;
    ASSERT_TRUE(makeBundle(player, document, std::nullopt, bundle, reason)) << reason;
    TrailerContents contents = trailerOf(bundle);
    ASSERT_EQ(contents.status, TrailerContents::Status::ok);
    EXPECT_EQ(contents.resources[635], document);
    EXPECT_EQ(contents.resources.count(634), 0u);

    EXPECT_FALSE(makeBundle(player, documentWithoutContent(), std::nullopt, bundle, reason));
    EXPECT_NE(reason.find("the document cannot be read"), std::string::npos) << reason;
}

TEST(BundleTest, RefusesWhatWouldNotPlay) {
    const std::vector<std::uint8_t> player(100, 0x7F);
    std::vector<std::uint8_t> demo = makeTestDemo(32, 24);
    const std::vector<std::uint8_t> text{'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'};
    std::vector<std::uint8_t> cut(demo.begin(), demo.begin() + demo.size() / 2);
    std::vector<std::uint8_t> out;
    std::string reason;
    EXPECT_FALSE(makeBundle(player, text, std::nullopt, out, reason));
    EXPECT_NE(reason.find("not a Lumenreel movie"), std::string::npos);
    // A skin package is a container too, but holds no document.
    EXPECT_FALSE(makeBundle(player, embeddedSkinPackage(), std::nullopt, out, reason));
    EXPECT_NE(reason.find("not a Lumenreel movie"), std::string::npos);
    EXPECT_FALSE(makeBundle(player, cut, std::nullopt, out, reason));
    EXPECT_NE(reason.find("cannot be read"), std::string::npos);
    EXPECT_FALSE(makeBundle(player, demo, std::span<const std::uint8_t>(text), out, reason));
    EXPECT_NE(reason.find("skin"), std::string::npos);
}

TEST(BundleTest, WhatTheBundleCarriesButCannotUseIsDroppedAndSaid) {
    const std::span<const std::uint8_t> builtInSkin = embeddedSkinPackage();
    const std::vector<std::uint8_t> demo = makeTestDemo(32, 24);
    ProgramResources resources;
    resources.addCompiledIn(CZephyrcastPlayerDlg::kSkinResource, builtInSkin);
    resources.addAppended({{CZephyrcastPlayerDlg::kSkinResource, {'n', 'o', 't', ' ', 'a'}},
                           {CZephyrcastPlayerDlg::kZcdResource, demo},
                           {CZephyrcastPlayerDlg::kZcsResource, demo}});
    const std::vector<std::string> dropped = dropUnusableBundledResources(resources);
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_NE(dropped[0].find("skin"), std::string::npos);
    EXPECT_NE(dropped[1].find("the demo plays"), std::string::npos);
    EXPECT_EQ(resources.find(CZephyrcastPlayerDlg::kSkinResource).data(), builtInSkin.data());
    EXPECT_EQ(resources.appended(CZephyrcastPlayerDlg::kZcsResource), nullptr);
    EXPECT_NE(resources.appended(CZephyrcastPlayerDlg::kZcdResource), nullptr);

    // A bundle of one movie and a real skin keeps everything.
    ProgramResources usable;
    usable.addAppended(
        {{CZephyrcastPlayerDlg::kSkinResource, {builtInSkin.begin(), builtInSkin.end()}},
         {CZephyrcastPlayerDlg::kZcdResource, demo}});
    EXPECT_TRUE(dropUnusableBundledResources(usable).empty());
}

}  // namespace
}  // namespace lumenreel::test
