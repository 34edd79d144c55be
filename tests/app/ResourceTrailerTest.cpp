#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ExeResManipulator.h"
#include "app/ResourceTrailer.h"
#include "base/ByteOrder.h"
#include "base/MemFile.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Status = TrailerContents::Status;

const std::vector<std::uint8_t> kProgram(1000, 0x90);

ResourceTable sampleResources() {
    return {{634, std::vector<std::uint8_t>(300, 0x11)}, {633, {1, 2, 3, 4, 5}}};
}

std::vector<std::uint8_t> withTrailer(const std::vector<std::uint8_t>& program,
                                      const std::vector<std::uint8_t>& trailer) {
    std::vector<std::uint8_t> file = program;
    file.insert(file.end(), trailer.begin(), trailer.end());
    return file;
}

TrailerContents read(const std::vector<std::uint8_t>& file) {
    CKWXOleStreamFile stream(file);
    return readResourceTrailer(stream);
}

// After editing the appended bytes, a new checksum so that the edit itself is what is checked.
void reseal(std::vector<std::uint8_t>& trailer) {
    const std::size_t footer = trailer.size() - trailer::kFooterSize;
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), trailer.data(), static_cast<uInt>(footer)));
    storeLE<std::uint32_t>(trailer.data() + footer + 24, crc);
}

TEST(ResourceTrailerTest, AppendedResourcesComeBackWithTheProgramSize) {
    const TrailerContents contents =
        read(withTrailer(kProgram, makeResourceTrailer(sampleResources())));
    EXPECT_EQ(contents.status, Status::ok);
    EXPECT_EQ(contents.programSize, kProgram.size());
    EXPECT_EQ(contents.resources, sampleResources());
}

TEST(ResourceTrailerTest, AProgramWithoutTrailerHasNoResources) {
    for (std::size_t size : {std::size_t{0}, std::size_t{5}, kProgram.size()}) {
        const std::vector<std::uint8_t> program(kProgram.begin(), kProgram.begin() + size);
        const TrailerContents contents = read(program);
        EXPECT_EQ(contents.status, Status::absent) << size;
        EXPECT_EQ(contents.programSize, size);
        EXPECT_TRUE(contents.resources.empty());
    }
}

TEST(ResourceTrailerTest, DamagedTrailersAreIgnoredWithAReason) {
    struct Case {
        const char* name;
        std::function<std::vector<std::uint8_t>()> file;
        const char* reasonPart;
    };
    const std::vector<std::uint8_t> good = makeResourceTrailer(sampleResources());
    const std::size_t footer = good.size() - trailer::kFooterSize;
    const Case cases[] = {
        {"a flipped data byte",
         [&] {
             auto t = good;
             t[10] ^= 0x40;
             return withTrailer(kProgram, t);
         },
         "checksum"},
        {"cut at the front, program gone",
         [&] { return std::vector<std::uint8_t>(good.begin() + 100, good.end()); }, "does not fit"},
        {"an appended size beyond the file",
         [&] {
             auto t = good;
             storeLE<std::uint64_t>(t.data() + footer + 16, 0xFFFF'FFFF'FFFFull);
             return withTrailer(kProgram, t);
         },
         "does not fit"},
        {"too many entries",
         [&] {
             auto t = good;
             storeLE<std::uint32_t>(t.data() + footer + 12, 1'000'000);
             return withTrailer(kProgram, t);
         },
         "too many"},
        {"an entry past the data",
         [&] {
             auto t = good;
             // First table entry's size.
             storeLE<std::uint64_t>(t.data() + footer - 2 * trailer::kEntrySize + 12, 100'000);
             reseal(t);
             return withTrailer(kProgram, t);
         },
         "outside"},
        {"an unknown version",
         [&] {
             auto t = good;
             storeLE<std::uint32_t>(t.data() + footer + 8, 2);
             return withTrailer(kProgram, t);
         },
         "version"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> file = c.file();
        const TrailerContents contents = read(file);
        EXPECT_EQ(contents.status, Status::damaged) << c.name;
        EXPECT_NE(contents.problem.find(c.reasonPart), std::string::npos)
            << c.name << ": " << contents.problem;
        EXPECT_TRUE(contents.resources.empty()) << c.name;
        EXPECT_EQ(contents.programSize, file.size()) << c.name;
    }
}

TEST(ResourceTrailerTest, ProgramFileResourcesOverrideCompiledInOnes) {
    TempDir dir;
    const auto path = dir.path() / "player";
    writeBytes(path, withTrailer(kProgram, makeResourceTrailer(sampleResources())));
    const std::vector<std::uint8_t> compiledSkin{9, 9};
    ProgramResources resources;
    resources.addCompiledIn(633, compiledSkin);
    resources.addCompiledIn(700, compiledSkin);
    std::string problem;
    ASSERT_TRUE(readAppendedResources(path, resources, problem));
    EXPECT_TRUE(problem.empty());

    CExeResManipulator module;
    EXPECT_EQ(module.GetResourceSize(634), 0u) << "unbound";
    ASSERT_TRUE(module.AttachModule(&resources));
    EXPECT_EQ(module.GetResourceSize(633), 5u);
    EXPECT_EQ(module.GetResourceSize(634), 300u);
    EXPECT_EQ(module.GetResourceSize(700), 2u);
    EXPECT_EQ(module.GetResourceSize(635), 0u);
    EXPECT_EQ(module.GetResourceData(635), nullptr);
    std::vector<std::uint8_t> destination(4, 0xEE);
    EXPECT_EQ(module.CopyResource(635, destination.data()), 0u);
    EXPECT_EQ(destination, std::vector<std::uint8_t>(4, 0xEE));
    destination.resize(5);
    EXPECT_EQ(module.CopyResource(633, destination.data()), 5u);
    EXPECT_EQ(destination, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace lumenreel::test
