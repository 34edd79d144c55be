#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
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

// A file of `length` bytes: zeros, then `tail` at the very end; nothing but the tail is stored, so
// a trailer can claim sizes no test could write out.
class ZeroFilledFile : public CFile {
public:
    ZeroFilledFile(std::uint64_t length, std::vector<std::uint8_t> tail)
        : m_length(length), m_tail(std::move(tail)) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_length - m_at));
        const std::uint64_t tailStart = m_length - m_tail.size();
        for (std::size_t i = 0; i < n; ++i, ++m_at)
            out[i] = m_at < tailStart ? 0 : m_tail[m_at - tailStart];
        return n;
    }
    bool Write(const void*, std::size_t) override { return false; }
    std::int64_t Seek(std::int64_t offset, SeekFrom from) override {
        std::int64_t base = from == SeekFrom::begin     ? 0
                            : from == SeekFrom::current ? static_cast<std::int64_t>(m_at)
                                                        : static_cast<std::int64_t>(m_length);
        if (base + offset < 0 || static_cast<std::uint64_t>(base + offset) > m_length)
            return -1;
        m_at = static_cast<std::uint64_t>(base + offset);
        return base + offset;
    }
    std::uint64_t GetPosition() const override { return m_at; }
    std::uint64_t GetLength() const override { return m_length; }
    void Close() override {}
    bool IsOpen() const override { return true; }

private:
    std::uint64_t m_length;
    std::vector<std::uint8_t> m_tail;
    std::uint64_t m_at = 0;
};

// Each bound of the footer and the table, exactly at its limit (read) and one past it (refused with
// its own reason, so that a removed check shows as another failure further on).
TEST(ResourceTrailerTest, EveryBoundHoldsAtItsLimitAndFailsOnePast) {
    struct Case {
        const char* name;
        std::function<std::vector<std::uint8_t>()> file;
        const char* reasonPart;  // null: read as a trailer
    };
    auto footerOf = [](std::vector<std::uint8_t>& t) { return t.data() + t.size() - 32; };
    // The first entry of the table (resources are stored by id).
    auto entryOf = [&](std::vector<std::uint8_t>& t, std::size_t count) {
        return footerOf(t) - count * trailer::kEntrySize;
    };
    ResourceTable most;
    for (std::uint32_t id = 0; id < trailer::kMaxEntries; ++id)
        most[id] = {static_cast<std::uint8_t>(id)};
    ResourceTable tooMany = most;
    tooMany[trailer::kMaxEntries] = {1};
    const ResourceTable two{{1, {1, 2, 3}}, {2, {4, 5}}};  // data: 5 bytes
    const Case cases[] = {
        {"a footer and nothing else is a whole file", [] { return makeResourceTrailer({}); },
         nullptr},
        {"the most entries", [&] { return withTrailer(kProgram, makeResourceTrailer(most)); },
         nullptr},
        {"one entry more", [&] { return withTrailer(kProgram, makeResourceTrailer(tooMany)); },
         "too many"},
        {"appended bytes that are the whole file before the footer",
         [&] { return makeResourceTrailer(two); }, nullptr},
        {"one appended byte more than the file holds",
         [&] {
             auto t = makeResourceTrailer(two);
             storeLE<std::uint64_t>(footerOf(t) + 16, t.size() - 32 + 1);
             return t;
         },
         "does not fit"},
        {"a table that is all the appended bytes",
         [&] {
             return withTrailer(kProgram, makeResourceTrailer({{7, {}}}));
         },
         nullptr},
        {"a table one byte longer than the appended bytes",
         [&] {
             auto t = makeResourceTrailer({{7, {}}});
             storeLE<std::uint64_t>(footerOf(t) + 16, trailer::kEntrySize - 1);
             return withTrailer(kProgram, t);
         },
         "does not fit"},
        {"a resource ending one byte past the data",
         [&] {
             auto t = makeResourceTrailer(two);
             storeLE<std::uint64_t>(entryOf(t, 2) + trailer::kEntrySize + 12, 3);  // 3 + 3
             reseal(t);
             return withTrailer(kProgram, t);
         },
         "outside"},
        {"an empty resource at the end of the data",
         [&] {
             auto t = makeResourceTrailer(two);
             storeLE<std::uint64_t>(entryOf(t, 2) + 4, 5);
             storeLE<std::uint64_t>(entryOf(t, 2) + 12, 0);
             reseal(t);
             return withTrailer(kProgram, t);
         },
         nullptr},
        {"an empty resource one byte past the data",
         [&] {
             auto t = makeResourceTrailer(two);
             storeLE<std::uint64_t>(entryOf(t, 2) + 4, 6);
             storeLE<std::uint64_t>(entryOf(t, 2) + 12, 0);
             reseal(t);
             return withTrailer(kProgram, t);
         },
         "outside"},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> file = c.file();
        const TrailerContents contents = read(file);
        if (!c.reasonPart) {
            EXPECT_EQ(contents.status, Status::ok) << c.name << ": " << contents.problem;
            continue;
        }
        EXPECT_EQ(contents.status, Status::damaged) << c.name;
        EXPECT_NE(contents.problem.find(c.reasonPart), std::string::npos)
            << c.name << ": " << contents.problem;
    }
}

TEST(ResourceTrailerTest, AppendedBytesPastTheLimitAreRefusedUnread) {
    ResourceTable one{{1, {1}}};
    std::vector<std::uint8_t> t = makeResourceTrailer(one);
    storeLE<std::uint64_t>(t.data() + t.size() - 16, trailer::kMaxAppendedBytes + 1);
    ZeroFilledFile file(trailer::kMaxAppendedBytes + 1 + trailer::kFooterSize + kProgram.size(), t);
    const TrailerContents contents = readResourceTrailer(file);
    EXPECT_EQ(contents.status, Status::damaged);
    EXPECT_NE(contents.problem.find("does not fit"), std::string::npos) << contents.problem;
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
