#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "storage/GzipCompression.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using lumenreel::test::readBytes;
using lumenreel::test::runCommand;
using lumenreel::test::shellQuote;
using lumenreel::test::TempDir;
using lumenreel::test::writeBytes;

Bytes toBytes(std::span<const std::uint8_t> span) {
    return Bytes(span.begin(), span.end());
}
Bytes toBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes compress(const Bytes& data, int level = GzipMemWriter::kDefaultLevel) {
    return toBytes(GzipMemWriter(data, level).Bytes());
}

// Compressible but not trivial: runs of a few colours with noise, like a captured screen.
Bytes screenLike(std::size_t size, unsigned seed = 1) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = (i / 4096) % 3 == 0 ? static_cast<std::uint8_t>(random()) : (i / 64) % 7 * 30;
    }
    return bytes;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(GzipTest, MemberOfAbcHasTheFixedHeaderCrcAndLength) {
    GzipMemWriter writer("abc", 3);
    Bytes member = toBytes(writer.Bytes());
    ASSERT_GE(member.size(), 18u);
    EXPECT_EQ(Bytes(member.begin(), member.begin() + 10),
              (Bytes{0x1F, 0x8B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0B}));
    EXPECT_EQ(Bytes(member.end() - 8, member.end()),
              (Bytes{0xC2, 0x41, 0x24, 0x35, 0x03, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(writer.IsComplete());
    EXPECT_EQ(toBytes(GzipMemReader(member).Bytes()), toBytes(std::string("abc")));
}

TEST(GzipTest, EmptyInputGivesAnEmptyMemberAndNoInputGivesNothing) {
    EXPECT_EQ(compress({}),
              (Bytes{0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0x0B, 0x03, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
    GzipMemWriter none(nullptr, 10);
    EXPECT_EQ(none.GetSize(), 0u);

    GzipMemReader empty(compress({}));
    EXPECT_EQ(empty.GetSize(), 0u);
    EXPECT_FALSE(empty.IsBad());
}

TEST(GzipTest, MeasuresNulTerminatedStrings) {
    GzipMemWriter writer("hello", GzipMemWriter::kMeasureString);
    EXPECT_EQ(toBytes(GzipMemReader(writer.Bytes()).Bytes()), toBytes(std::string("hello")));
}

TEST(GzipTest, RoundTripsLargeBuffersAtBothLevelsAndEndsTheResultWithZero) {
    Bytes data = screenLike(3 * 1024 * 1024 + 17);
    for (int level : {GzipMemWriter::kFastLevel, GzipMemWriter::kDefaultLevel}) {
        Bytes member = compress(data, level);
        EXPECT_LT(member.size(), data.size() / 2) << level;
        GzipMemReader reader(member);
        EXPECT_FALSE(reader.IsBad());
        EXPECT_FALSE(reader.IsTruncated());
        EXPECT_EQ(toBytes(reader.Bytes()), data) << level;
        EXPECT_EQ(reader.GetBuffer()[reader.GetSize()], 0);
    }
}

TEST(GzipTest, DataWithoutTheMagicIsReturnedUnchanged) {
    for (const Bytes& plain : {Bytes{'x'}, Bytes{0x1F, 0x8C, 1, 2}, toBytes(std::string("text"))}) {
        GzipMemReader reader(plain);
        EXPECT_TRUE(reader.IsTransparent());
        EXPECT_EQ(toBytes(reader.Bytes()), plain);
    }
    GzipMemReader nothing(nullptr, 0);
    EXPECT_EQ(nothing.GetSize(), 0u);
    EXPECT_EQ(nothing.GetBuffer()[0], 0);
}

TEST(GzipTest, ConcatenatedMembersDecompressOneAfterAnother) {
    // The last member's length field understates the whole: the result must grow past it.
    Bytes first = screenLike(2 * 1024 * 1024, 7);
    Bytes second = toBytes(std::string("tail"));
    GzipMemReader reader(concat(compress(first), compress(second)));
    EXPECT_FALSE(reader.IsBad());
    EXPECT_EQ(toBytes(reader.Bytes()), concat(first, second));
}

TEST(GzipTest, DamageStopsDecompressionAndKeepsWhatCameBefore) {
    Bytes good = compress(toBytes(std::string("first member")));
    Bytes wrongCrc = compress(toBytes(std::string("second")));
    wrongCrc[wrongCrc.size() - 8] ^= 0xFF;

    GzipMemReader crcReader(concat(concat(good, wrongCrc), good));
    EXPECT_TRUE(crcReader.IsBad());
    EXPECT_EQ(toBytes(crcReader.Bytes()), toBytes(std::string("first membersecond")));

    Bytes cut(good.begin(), good.end() - 5);
    GzipMemReader cutReader(cut);
    EXPECT_TRUE(cutReader.IsBad());
    EXPECT_EQ(toBytes(cutReader.Bytes()), toBytes(std::string("first member")));

    Bytes garbage = good;
    garbage[10] = 0xFF;  // a reserved block type
    EXPECT_TRUE(GzipMemReader(garbage).IsBad());
}

TEST(GzipTest, HeaderFieldsAreSkippedAndUnknownHeadersRejected) {
    Bytes member = compress(toBytes(std::string("payload")));
    Bytes deflateAndTrailer(member.begin() + 10, member.end());
    // Extra field (2 bytes), name, comment and header CRC.
    Bytes header{
        0x1F, 0x8B, 8,   0x04 | 0x08 | 0x10 | 0x02, 0, 0, 0, 0, 0, 3, 2, 0, 'x', 'y', 'n', 0, 'c',
        0,    0xAA, 0xBB};
    GzipMemReader full(concat(header, deflateAndTrailer));
    EXPECT_FALSE(full.IsBad());
    EXPECT_EQ(toBytes(full.Bytes()), toBytes(std::string("payload")));

    struct Case {
        std::size_t offset;
        std::uint8_t value;
    };
    for (Case damage : {Case{2, 7}, Case{3, 0x20}, Case{3, 0x08}}) {
        Bytes bad = member;
        bad[damage.offset] = damage.value;  // another method, a reserved flag, a name never ended
        if (damage.value == 0x08)
            bad.resize(12);
        EXPECT_TRUE(GzipMemReader(bad).IsBad()) << damage.offset << " " << int(damage.value);
    }
}

TEST(GzipTest, OutputStopsAtTheLimitAndReportsTheTruncation) {
    Bytes zeros(1024 * 1024);
    Bytes member = compress(zeros);
    struct Case {
        std::size_t limit;
        std::size_t size;
        bool truncated;
    };
    for (Case c : {Case{1000, 1000, true}, Case{zeros.size(), zeros.size(), false},
                   Case{zeros.size() + 1, zeros.size(), false}, Case{0, 0, true}}) {
        GzipMemReader reader(member, c.limit);
        EXPECT_EQ(reader.GetSize(), c.size) << c.limit;
        EXPECT_EQ(reader.IsTruncated(), c.truncated) << c.limit;
        EXPECT_FALSE(reader.IsBad()) << c.limit;
    }
    // A second member past the limit is cut off as well, and so is plain data.
    EXPECT_TRUE(GzipMemReader(concat(member, compress({1})), zeros.size()).IsTruncated());
    GzipMemReader plain(Bytes(10, 'p'), 4);
    EXPECT_TRUE(plain.IsTruncated());
    EXPECT_EQ(plain.GetSize(), 4u);
}

TEST(GzipTest, ResultsGrowInWholeBufferSteps) {
    // A single member's length field sizes the result exactly; a tiny last member does not, and
    // the result then grows to 512 KiB and on in multiples of it.
    struct Case {
        std::size_t firstSize;
        std::size_t capacity;
    };
    for (Case c : {Case{1, 524288}, Case{524287, 524288}, Case{524288, 1048576}}) {
        GzipMemReader reader(concat(compress(Bytes(c.firstSize)), compress({1})));
        EXPECT_EQ(reader.GetSize(), c.firstSize + 1);
        EXPECT_EQ(reader.GetCapacity(), c.capacity) << c.firstSize;
    }
    EXPECT_EQ(GzipMemReader(compress(Bytes(600000))).GetCapacity(), 600000u);
    EXPECT_LT(GzipMemWriter("abc", 3).GetCapacity(), 100u);
}

TEST(GzipTest, ALengthFieldClaimingMoreThanTheDataHoldsDoesNotSizeTheResult) {
    // 4 MiB that barely compress, then a trailer claiming nearly 4 GiB.
    Bytes data(std::size_t{4} << 20);
    std::uint32_t state = 1;
    for (auto& byte : data)
        byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    Bytes member = compress(data);
    for (std::size_t i = member.size() - 4; i < member.size(); ++i)
        member[i] = 0xFF;
    GzipMemReader reader(member);
    EXPECT_EQ(reader.GetSize(), data.size());
    EXPECT_FALSE(reader.IsBad());
    // Believed, the claim would have taken the whole 1 GiB limit at once.
    EXPECT_LE(reader.GetCapacity(), std::size_t{16} << 20) << "sized from the data, not the claim";
}

TEST(GzipTest, CompressionObjectHoldsOneResultAtATime) {
    CGzipCompression gzip;
    EXPECT_EQ(gzip.GetSize(), 0u);
    EXPECT_EQ(gzip.GetBuffer(), nullptr);

    std::size_t packed = gzip.Compress("abcabcabc", 9);
    ASSERT_GT(packed, 18u);
    Bytes member(packed);
    gzip.CopyTo(member.data());
    EXPECT_EQ(member, compress(toBytes(std::string("abcabcabc"))));

    EXPECT_EQ(gzip.Decompress(member.data(), member.size()), 9u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(gzip.GetBuffer()), gzip.GetSize()),
              "abcabcabc");
    EXPECT_FALSE(gzip.IsBad());

    gzip.SetOutputLimit(3);
    EXPECT_EQ(gzip.Decompress(member.data(), member.size()), 3u);
    EXPECT_TRUE(gzip.IsTruncated());
}

// The real gzip tool reads our members, and we read its output (which carries a file name).
TEST(GzipTest, InteroperatesWithTheGzipTool) {
    TempDir dir;
    Bytes data = screenLike(300 * 1000, 3);
    for (int level : {1, 9}) {
        writeBytes(dir / "ours.gz", compress(data, level));
        auto result = runCommand("gzip -dc " + shellQuote((dir / "ours.gz").string()));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(toBytes(result.out), data) << level;
    }
    for (std::string options : {"-1", "-9", "-n -6"}) {
        writeBytes(dir / "theirs", data);
        auto result =
            runCommand("gzip -f " + options + " " + shellQuote((dir / "theirs").string()));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        Bytes member = readBytes(dir / "theirs.gz");
        GzipMemReader reader(member);
        EXPECT_FALSE(reader.IsBad()) << options;
        EXPECT_EQ(toBytes(reader.Bytes()), data) << options;
    }
}

}  // namespace
