#include <gtest/gtest.h>

#include "base/DiskFile.h"
#include "base/MemFile.h"
#include "support/TestSupport.h"

namespace {

TEST(MemFileTest, WritesReadsAndFillsGapsAfterSeekingPastTheEnd) {
    CKWXMemFile file;
    ASSERT_TRUE(file.Write("abc", 3));
    EXPECT_EQ(file.Seek(5, CFile::SeekFrom::begin), 5);
    ASSERT_TRUE(file.Write("z", 1));
    EXPECT_EQ(file.GetLength(), 6u);
    std::vector<std::uint8_t> expected{'a', 'b', 'c', 0, 0, 'z'};
    EXPECT_EQ(std::vector<std::uint8_t>(file.Bytes().begin(), file.Bytes().end()), expected);

    EXPECT_EQ(file.Seek(-2, CFile::SeekFrom::end), 4);
    char two[4]{};
    EXPECT_EQ(file.Read(two, 4), 2u);
    EXPECT_EQ(file.Read(two, 4), 0u);
    EXPECT_EQ(file.Seek(-1, CFile::SeekFrom::begin), -1);
    EXPECT_EQ(file.GetPosition(), 6u);

    auto detached = file.Detach();
    EXPECT_EQ(detached, expected);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(MemFileTest, StreamFileCopiesItsBytesAndStartsAtTheBeginning) {
    std::vector<std::uint8_t> source{1, 2, 3};
    CKWXOleStreamFile stream(source);
    source[0] = 9;
    std::uint8_t first = 0;
    ASSERT_TRUE(stream.ReadExact(&first, 1));
    EXPECT_EQ(first, 1);
    stream.Rewind();
    EXPECT_EQ(stream.GetPosition(), 0u);
}

TEST(DiskFileTest, CreatesReadsAndRefusesMissingFilesAndFolders) {
    lumenreel::test::TempDir dir;
    std::string path = (dir / "data.bin").string();
    CDiskFile file;
    ASSERT_TRUE(file.Open(path, CDiskFile::Mode::createWrite));
    ASSERT_TRUE(file.Write("hello", 5));
    file.Close();

    ASSERT_TRUE(file.Open(path, CDiskFile::Mode::read));
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.Seek(1, CFile::SeekFrom::begin), 1);
    char text[4]{};
    ASSERT_TRUE(file.ReadExact(text, 4));
    EXPECT_EQ(std::string(text, 4), "ello");
    EXPECT_FALSE(file.ReadExact(text, 1));

    CDiskFile missing;
    EXPECT_FALSE(missing.Open((dir / "nothing").string(), CDiskFile::Mode::read));
    EXPECT_FALSE(missing.Open(dir.path().string(), CDiskFile::Mode::read));
    EXPECT_FALSE(missing.IsOpen());
}

}  // namespace
