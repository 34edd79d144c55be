#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DiskFile.h"
#include "base/MemFile.h"
#include "storage/SerializeInterfaceXML.h"
#include "support/TestSupport.h"

namespace {

using lumenreel::test::dataPath;
using lumenreel::test::runCommand;
using lumenreel::test::shellQuote;

CKWXMemFile memFile(std::string_view text) {
    return CKWXMemFile(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string textOf(const CKWXMemFile& file) {
    return {file.Bytes().begin(), file.Bytes().end()};
}

TEST(SerializeInterfaceXMLTest, ReadsTheSkinConfigurationAmongFreeText) {
    CDiskFile file;
    ASSERT_TRUE(file.Open(dataPath("storage/skin_config.txt").string(), CDiskFile::Mode::read));
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    EXPECT_EQ(ar.GetFormatId(), Guid::fromString("{A78E2816-BE09-4B27-8CC6-60A6F3F71C20}"));
    ASSERT_TRUE(ar.EnterSection("cfg_size"));
    ar.SetKey("play_button_rect");
    lumenreel::Rect rect;
    EXPECT_TRUE(ar.ExchangeRect(rect));
    EXPECT_EQ(rect, (lumenreel::Rect{8, 13, 28, 27}));
    ar.SetKey("start_pointer_pos");
    lumenreel::Point point;
    EXPECT_TRUE(ar.ExchangePoint(point));
    EXPECT_EQ(point, (lumenreel::Point{7, 3}));
    EXPECT_EQ(ar.GetKey(), "start_pointer_pos") << "composite values restore the key";
    ar.SetKey("panel_height");
    EXPECT_EQ(ar.ReadInt32A(), 40u);
    ar.LeaveSection();
    EXPECT_EQ(file.GetPosition(), 0u) << "loading leaves the file where it was";
}

TEST(SerializeInterfaceXMLTest, TextFormsOnLoad) {
    struct Case {
        const char* text;
        bool flag;
        std::int32_t number;
        double real;
    };
    const Case cases[] = {
        {"true", true, 0, 0.0},      {"True", false, 0, 0.0},  // only the exact text is true
        {" 42abc", false, 42, 42.0}, {"-7", false, -7, -7.0},
        {"abc", false, 0, 0.0},  // not a number: 0
        {"2.5e1", false, 2, 25.0},
    };
    for (const Case& c : cases) {
        std::string xml = std::string("<v>") + c.text + "</v>";
        CKWXMemFile file = memFile(xml);
        CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
        ar.SetKey("v");
        bool flag = !c.flag;
        std::int32_t number = 99;
        double real = 99;
        EXPECT_TRUE(ar.ExchangeBool(flag) && ar.ExchangeInt32A(number) && ar.ExchangeDouble(real));
        EXPECT_EQ(flag, c.flag) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
        EXPECT_EQ(real, c.real) << c.text;
    }
}

TEST(SerializeInterfaceXMLTest, StoredTextFormsAndTrailingSpaceMarker) {
    CKWXMemFile file;
    {
        CSerializeInterfaceXML ar(file, CSerializeInterface::modeStore);
        ASSERT_TRUE(ar.EnterSection("s"));
        ar.SetKey("f");
        ar.WriteFloat(0.25f);
        ar.SetKey("b");
        ar.WriteBool(false);
        ar.SetKey("t");
        ar.WriteString("caf\xE9 ");
        ar.SetKey("z");
        ar.WriteCompressed(std::vector<std::uint8_t>{});
        ar.LeaveSection();
    }
    std::string xml = textOf(file);
    EXPECT_NE(xml.find("<f>0.250000</f>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<b>false</b>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<t>caf\xC3\xA9 _TRSP#@</t>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<lenght>20</lenght>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<gzip_data>H4sI"), std::string::npos) << xml;

    file.SeekTo(0);
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("s"));
    ar.SetKey("t");
    EXPECT_EQ(ar.ReadString(), "caf\xE9 ");
}

TEST(SerializeInterfaceXMLTest, OccurrenceSelectsAmongSameNamedElements) {
    CKWXMemFile file =
        memFile("<list><item><v>1</v></item><item><v>2</v></item><other><v>3</v></other></list>");
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("list"));
    ar.SetKey("v");
    for (int occurrence : {0, 1, 2}) {
        ar.SetOccurrence(occurrence);
        EXPECT_EQ(ar.ReadInt32A(), static_cast<std::uint32_t>(occurrence + 1));
    }
    ar.SetOccurrence(1);
    ASSERT_TRUE(ar.EnterSection("item"));
    EXPECT_EQ(ar.ReadInt32A(), 2u);
    ar.LeaveSection();
    EXPECT_EQ(ar.GetOccurrence(), 1);
    ar.SetOccurrence(5);
    std::int32_t kept = -1;
    EXPECT_TRUE(ar.ExchangeInt32A(kept)) << "a missing element is not a failure";
    EXPECT_EQ(kept, -1);
    EXPECT_TRUE(ar.EnterSection("item")) << "past the end, the first direct child is taken";
    EXPECT_EQ(ar.ReadInt32A(), 1u);
    ar.LeaveSection();
    ar.SetOccurrence(0);
    EXPECT_FALSE(ar.EnterSection("v")) << "values are not direct children of the list";
    EXPECT_FALSE(ar.ExchangeInt32A(kept)) << "values of a missing section fail";
    ar.LeaveSection();
}

TEST(SerializeInterfaceXMLTest, CountEntriesEnumeratesChildrenWhateverTheirNames) {
    CKWXMemFile file =
        memFile("<t><a><v>1</v></a>text<b><v>2</v></b><!-- note --><c><v>3</v></c></t>");
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("t"));
    ASSERT_EQ(ar.CountEntries(), 3);
    std::string values;
    for (int i = 0; i < 3; ++i) {
        ar.SetOccurrence(i);
        ASSERT_TRUE(ar.EnterSection("entry")) << i;
        ar.SetKey("v");
        values += std::to_string(ar.ReadInt32A());
        ar.LeaveSection();
    }
    EXPECT_EQ(values, "123");
}

TEST(SerializeInterfaceXMLTest, ByteBlocksMustMatchTheCallersBufferExactly) {
    CKWXMemFile file = memFile("<s><four>AQIDBA==</four><bad>A*==</bad></s>");
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("s"));
    std::uint8_t buffer[6] = {9, 9, 9, 9, 9, 9};
    ar.SetKey("four");
    EXPECT_FALSE(ar.ReadBytes(buffer, 2)) << "more stored than asked for";
    EXPECT_FALSE(ar.ReadBytes(buffer, 6)) << "less stored than asked for";
    ar.SetKey("bad");
    EXPECT_FALSE(ar.ReadBytes(buffer, 1)) << "not base64";
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 6), std::vector<std::uint8_t>(6, 9));
    ar.SetKey("four");
    EXPECT_TRUE(ar.ReadBytes(buffer, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 6),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 9, 9}));
}

TEST(SerializeInterfaceXMLTest, MalformedDocumentLoadsAsEmpty) {
    CKWXMemFile file = memFile("<cfg_size><left>8</left>");
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    EXPECT_FALSE(ar.EnterSection("cfg_size"));
}

// What is stored must be well-formed for a real XML tool, and what that tool reformats must
// still load.
TEST(SerializeInterfaceXMLTest, StoredDocumentPassesXmllintAndItsReformattingLoads) {
    lumenreel::test::TempDir dir;
    std::string path = (dir / "stored.xml").string();
    {
        CDiskFile file;
        ASSERT_TRUE(file.Open(path, CDiskFile::Mode::createWrite));
        CSerializeInterfaceXML ar(file, CSerializeInterface::modeStore);
        ASSERT_TRUE(ar.EnterSection("cfg_size"));
        ar.SetKey("title");
        ar.WriteString("Tom & Jerry <\xE9> ");
        ar.SetKey("play_button_rect");
        ar.WriteRect({8, 13, 28, 27});
        ar.SetKey("blob");
        ar.WriteBytes("\x00\xFF\x10", 3);
        ar.LeaveSection();
        ar.Close();
        EXPECT_TRUE(ar.GetStatus());
    }
    auto checked = runCommand("xmllint --noout " + shellQuote(path));
    EXPECT_EQ(checked.exitCode, 0) << checked.err;
    auto formatted = runCommand("xmllint --format " + shellQuote(path));
    ASSERT_EQ(formatted.exitCode, 0) << formatted.err;
    EXPECT_NE(formatted.out.find("Tom &amp; Jerry &lt;"), std::string::npos) << formatted.out;

    CKWXMemFile file = memFile("free text first\n" + formatted.out);
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("cfg_size"));
    ar.SetKey("title");
    EXPECT_EQ(ar.ReadString(), "Tom & Jerry <\xE9> ");
    ar.SetKey("play_button_rect");
    EXPECT_EQ(ar.ReadRect(), (lumenreel::Rect{8, 13, 28, 27}));
    ar.SetKey("blob");
    std::uint8_t blob[3]{};
    ASSERT_TRUE(ar.ReadBytes(blob, 3));
    EXPECT_EQ(std::vector<std::uint8_t>(blob, blob + 3),
              (std::vector<std::uint8_t>{0, 0xFF, 0x10}));
}

TEST(SerializeInterfaceXMLTest, KeysThatAreNoElementNamesAreNotStored) {
    CKWXMemFile file;
    CSerializeInterfaceXML ar(file, CSerializeInterface::modeStore);
    EXPECT_FALSE(ar.EnterSection("1st section"));
    ar.LeaveSection();
    for (const char* key : {"", "two words", "<tag>", "9lives"}) {
        ar.SetKey(key);
        EXPECT_FALSE(ar.WriteInt32A(1)) << key;
    }
}

}  // namespace
