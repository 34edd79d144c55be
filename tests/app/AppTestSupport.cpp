#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <string>

#include "app/PlayerDialog.h"
#include "base/MemFile.h"
#include "document/DocumentFixtures.h"
#include "document/DocumentForm.h"
#include "images/ImageExt.h"
#include "player/SkinEmbedded.h"
#include "published/ZcdWriter.h"
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel::test {

std::vector<std::uint8_t> documentWithoutContent() {
    CKWXMemFile document;
    CSerializeInterfaceRB archive(document, CSerializeInterface::modeStore);
    EXPECT_TRUE(archive.EnterSection(kDocumentRootSection));
    archive.SetKey("document_type");
    std::string type = kDocumentType;
    EXPECT_TRUE(archive.ExchangeString(type));
    archive.LeaveSection();
    archive.Close();
    return {document.Bytes().begin(), document.Bytes().end()};
}

std::vector<std::uint8_t> richDocumentFile() {
    CZephyrcastBaseDocument document;
    buildRichDocument(document);
    std::optional<std::vector<std::uint8_t>> bytes = document.save();
    EXPECT_TRUE(bytes) << document.lastError();
    return bytes.value_or(std::vector<std::uint8_t>{});
}

std::vector<std::uint8_t> makeTestDemo(int width, int height) {
    std::vector<CImageExt> pictures(3);
    zcd::ZcdContent content;
    for (int i = 0; i < 3; ++i) {
        pictures[i].create(width, height, 24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pictures[i].setPixel(x, y,
                                     static_cast<std::uint32_t>((x * 255 / width + i * 80) & 0xFF) |
                                         static_cast<std::uint32_t>(y * 255 / height) << 8 |
                                         static_cast<std::uint32_t>(i * 100) << 16);
        content.frames.push_back({{i + 1, 1.0f, 0.0f, 1.0f}, &pictures[i]});
    }
    content.highlights.push_back(
        {7, {width / 4, height / 4, width / 2, height / 2}, 0x00FF00, 0x2040C0, 1.0f, false});
    zcd::WriterPlacement shown;
    shown.frameId = 2;
    shown.objectId = 7;
    shown.end = 1.0f;
    content.highlightPlacements.push_back(shown);
    std::string error;
    auto file = zcd::writeZcd(content, error);
    EXPECT_TRUE(file) << error;
    return file ? *file : std::vector<std::uint8_t>{};
}

ProgramResources defaultResources() {
    ProgramResources resources;
    resources.addCompiledIn(CZephyrcastPlayerDlg::kSkinResource, embeddedSkinPackage());
    return resources;
}

}  // namespace lumenreel::test
