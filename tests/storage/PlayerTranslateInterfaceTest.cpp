#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/MemFile.h"
#include "storage/PlayerTranslateInterface.h"
#include "storage/RBFileSystem.h"

namespace {

// A package holding the named files, ready to be read.
std::unique_ptr<CKWXOleStreamFile> packageWith(
    std::initializer_list<std::pair<const char*, std::string>> files) {
    auto stream = std::make_unique<CKWXOleStreamFile>();
    {
        CRBFileSystem fs;
        EXPECT_TRUE(fs.Attach(stream.get(), CRBFileSystem::modeWrite));
        for (const auto& [path, text] : files) {
            auto file = fs.OpenFile(path);
            EXPECT_TRUE(file && file->Write(text.data(), text.size()));
        }
    }
    stream->Rewind();
    return stream;
}

TEST(PlayerTranslateInterfaceTest, LooksUpKeysOfTheLocalizationFile) {
    auto package = packageWith({{"localization.txt",
                                 "ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY=Play\r\n"
                                 "a comment line without an equals sign\r\n"
                                 "ID_TWO_LINES=first\\nsecond\\tthird\r\n"
                                 "ID_COUNT_%D=%d frames\\n\r\n"
                                 "id_play_twice=first\r\n"
                                 "ID_PLAY_TWICE=second\r\n"
                                 "ID_SPACED = value \r\n"
                                 "ID_EQUALS=a=b"}});
    CRBFileSystem fs;
    ASSERT_TRUE(fs.Attach(package.get(), CRBFileSystem::modeRead));
    CPlayerTranslateInterface translator(fs);
    EXPECT_EQ(translator.GetSize(), 6u);

    struct Case {
        const char* key;
        const char* value;
    };
    for (const Case& c : {
             Case{"ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY", "Play"},
             Case{"id_player_button_tooltipname_play", "Play"},  // any letter case
             Case{"ID_TWO_LINES", "first\nsecond\tthird"},
             Case{"ID_COUNT_%D", "%d frames\\n"},  // a format keeps its escapes
             Case{"ID_PLAY_TWICE", "first"},       // the first line of a key wins
             Case{"ID_SPACED ", " value "},        // spaces around "=" belong to key and value
             Case{"ID_SPACED", ""},
             Case{"ID_EQUALS", "a=b"},  // the first "=" splits
             Case{"ID_ZCS_FILTERS", ""},
         }) {
        EXPECT_EQ(translator.Translate(c.key), c.value) << c.key;
    }
}

TEST(PlayerTranslateInterfaceTest, APackageWithoutTheFileGivesEmptyTexts) {
    auto package = packageWith({{"Player Skin\\skin_config.txt", "<cfg_size/>"}});
    CRBFileSystem fs;
    ASSERT_TRUE(fs.Attach(package.get(), CRBFileSystem::modeRead));
    CPlayerTranslateInterface translator(fs);
    EXPECT_EQ(translator.GetSize(), 0u);
    EXPECT_EQ(translator.Translate("ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY"), "");

    CTranslateInterface untranslated;
    EXPECT_EQ(untranslated.Translate("ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY"),
              "ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY");
}

}  // namespace
