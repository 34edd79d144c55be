#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/MemFile.h"
#include "storage/RBFileSystem.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using lumenreel::test::TempDir;

Bytes toBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string readAll(CFile& file) {
    std::string text(file.GetLength(), '\0');
    text.resize(file.Read(text.data(), text.size()));
    return text;
}

// A skin-like package written through every way of adding things, kept in memory.
class PackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        lumenreel::test::writeBytes(dir / "areas", toBytes("Areas: 241 bytes or so"));
        lumenreel::test::writeBytes(dir / "empty", {});
        CRBFileSystem fs;
        ASSERT_TRUE(fs.Attach(&stream, CRBFileSystem::modeWrite));
        ASSERT_TRUE(fs.CreateDirectory("Player Skin"));
        EXPECT_FALSE(fs.CreateDirectory("player skin"));
        ASSERT_TRUE(fs.AddFileFromDisk("Player Skin\\Areas.txt", (dir / "areas").string()));
        EXPECT_FALSE(fs.AddFileFromDisk("Player Skin\\Empty.txt", (dir / "empty").string()));
        EXPECT_FALSE(fs.AddFileFromDisk("Player Skin\\AREAS.TXT", (dir / "areas").string()));
        EXPECT_FALSE(fs.AddFileFromDisk("missing.txt", (dir / "missing").string()));
        for (const char* name : {"Stop_hn.png", "skin_config.txt", "Play_n.png"}) {
            auto file = fs.OpenFile(std::string("Player Skin\\") + name);
            ASSERT_TRUE(file);
            ASSERT_TRUE(file->Write("content of ", 11));
            ASSERT_TRUE(file->Write(name, std::char_traits<char>::length(name)));
        }
        // Written out of order and left open: the file system stores it when it goes.
        auto localization = fs.OpenFile("localization.txt");
        ASSERT_TRUE(localization);
        ASSERT_TRUE(localization->Write("xxxxxx", 6));
        localization->Seek(0, CFile::SeekFrom::begin);
        ASSERT_TRUE(localization->Write("PLAY=Play", 9));
        openAtDestruction = localization.release();
    }
    void TearDown() override { delete openAtDestruction; }

    // Reads the package back; the stream is rewound first, as a package from memory is.
    void attach(CRBFileSystem& fs) {
        stream.Rewind();
        ASSERT_TRUE(fs.Attach(&stream, CRBFileSystem::modeRead));
    }

    TempDir dir;
    CKWXOleStreamFile stream;
    CRBFilesystemFile* openAtDestruction = nullptr;
};

TEST_F(PackageTest, ListsInCaseInsensitiveOrderAsStored) {
    CRBFileSystem fs;
    attach(fs);
    Names names;
    ASSERT_TRUE(fs.ListDirectory("", names));
    EXPECT_EQ(names, (Names{"localization.txt", "Player Skin"}));
    ASSERT_TRUE(fs.ListDirectory("player skin", names));
    EXPECT_EQ(names, (Names{"Areas.txt", "Play_n.png", "skin_config.txt", "Stop_hn.png"}));
    EXPECT_FALSE(fs.ListDirectory("localization.txt", names));
    EXPECT_TRUE(names.empty());

    // The index itself is in that order, whatever flag a reader uses.
    stream.Rewind();
    Names stored;
    CRecursiveBinaryFile rbf;
    rbf.SetIndexVisitor(
        [&](const CRecursiveBinaryFile::CRFKey& key, std::uint32_t, std::uint32_t, int depth) {
            if (depth > 0)
                stored.push_back(key.GetName());
        });
    ASSERT_TRUE(rbf.OpenRead(&stream));
    EXPECT_EQ(stored, (Names{"localization.txt", "Player Skin", "Areas.txt", "Play_n.png",
                             "skin_config.txt", "Stop_hn.png"}));
}

TEST_F(PackageTest, FindsFilesWhateverTheirCaseAndTellsDirectories) {
    CRBFileSystem fs;
    attach(fs);
    auto config = fs.OpenFile("PLAYER SKIN\\SKIN_CONFIG.TXT");
    ASSERT_TRUE(config);
    EXPECT_EQ(readAll(*config), "content of skin_config.txt");
    auto localization = fs.OpenFile("localization.txt");
    ASSERT_TRUE(localization);
    EXPECT_EQ(readAll(*localization), "PLAY=Play");
    EXPECT_FALSE(fs.OpenFile("Player Skin\\missing.png"));

    EXPECT_TRUE(fs.Exists(""));
    EXPECT_TRUE(fs.Exists("player skin\\play_n.png"));
    EXPECT_FALSE(fs.Exists("Player Skin\\Empty.txt"));
    EXPECT_TRUE(fs.IsDirectory(""));
    EXPECT_TRUE(fs.IsDirectory("Player Skin"));
    EXPECT_FALSE(fs.IsDirectory("Player Skin\\Areas.txt"));
    EXPECT_FALSE(fs.IsDirectory("nowhere"));

    EXPECT_FALSE(fs.CreateDirectory("new"));
    EXPECT_FALSE(fs.AddFileFromDisk("new.txt", (dir / "areas").string()));
    EXPECT_FALSE(config->Write("x", 1));
}

TEST_F(PackageTest, ReadsClampToTheFileAndFilesShareTheContainer) {
    CRBFileSystem fs;
    attach(fs);
    auto play = fs.OpenFile("Player Skin\\Play_n.png");
    auto stop = fs.OpenFile("Player Skin\\Stop_hn.png");
    ASSERT_TRUE(play && stop);
    const std::size_t length = std::string("content of Play_n.png").size();
    EXPECT_EQ(play->GetLength(), length);

    char bytes[64] = {};
    EXPECT_EQ(play->Seek(-5, CFile::SeekFrom::end), static_cast<std::int64_t>(length));
    EXPECT_EQ(play->Seek(11, CFile::SeekFrom::begin), 11);
    EXPECT_EQ(stop->Read(bytes, 7), 7u);  // moves the container elsewhere
    EXPECT_EQ(play->Read(bytes, sizeof bytes), length - 11);
    EXPECT_EQ(std::string(bytes, length - 11), "Play_n.png");
    EXPECT_EQ(play->Read(bytes, sizeof bytes), 0u);

    EXPECT_EQ(play->Seek(-4, CFile::SeekFrom::current), static_cast<std::int64_t>(length - 4));
    EXPECT_EQ(play->Seek(-100, CFile::SeekFrom::current), 0);
    EXPECT_EQ(play->Seek(1000, CFile::SeekFrom::begin), static_cast<std::int64_t>(length));
    play->SeekToBegin();
    EXPECT_EQ(play->GetPosition(), 0u);

    play->Close();
    EXPECT_FALSE(play->IsOpen());
    EXPECT_EQ(play->Read(bytes, 1), 0u);
}

TEST_F(PackageTest, FilesOutliveTheirFileSystemClosed) {
    std::unique_ptr<CRBFilesystemFile> file;
    {
        CRBFileSystem fs;
        attach(fs);
        file = fs.OpenFile("localization.txt");
        ASSERT_TRUE(file && file->IsOpen());
    }
    EXPECT_FALSE(file->IsOpen());
    char byte;
    EXPECT_EQ(file->Read(&byte, 1), 0u);
}

TEST(PackageFileTest, PackagesOnDiskRoundTrip) {
    TempDir dir;
    std::string path = (dir / "skin.bin").string();
    {
        CRBFileSystem fs;
        ASSERT_TRUE(fs.Open(path, CRBFileSystem::modeWrite));
        auto file = fs.OpenFile("a\\b\\c.txt");
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write("deep", 4));
        file->Close();
        // A key's data is written once: a second writer of the same path stores nothing.
        auto again = fs.OpenFile("A\\B\\C.TXT");
        ASSERT_TRUE(again);
        ASSERT_TRUE(again->Write("other", 5));
    }
    CRBFileSystem fs;
    ASSERT_TRUE(fs.Open(path, CRBFileSystem::modeRead));
    auto file = fs.OpenFile("a\\b\\c.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(readAll(*file), "deep");
    EXPECT_FALSE(CRBFileSystem().Open((dir / "missing").string(), CRBFileSystem::modeRead));
    lumenreel::test::writeBytes(dir / "junk", toBytes("not a package at all, just text"));
    CRBFileSystem junk;
    EXPECT_FALSE(junk.Open((dir / "junk").string(), CRBFileSystem::modeRead));
    EXPECT_FALSE(junk.IsOpen());
    EXPECT_FALSE(junk.OpenFile("x"));
    EXPECT_FALSE(junk.Exists(""));
    EXPECT_FALSE(junk.Exists("x"));
    EXPECT_FALSE(junk.IsDirectory("x"));
}

}  // namespace
