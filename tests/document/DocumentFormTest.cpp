#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/MemFile.h"
#include "document/DocumentForm.h"
#include "storage/RBFileSystem.h"
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A stream holding the root section with the given document type, in either backend.
Bytes storedRoot(bool keyed, const std::string& root, const std::string& type) {
    CKWXMemFile file;
    {
        std::unique_ptr<CSerializeInterface> archive;
        if (keyed)
            archive = std::make_unique<CSerializeInterfaceRB>(file, CSerializeInterface::modeStore);
        else
            archive = std::make_unique<CSerializeInterface>(file, CSerializeInterface::modeStore);
        EXPECT_TRUE(archive->EnterSection(root));
        archive->SetKey("document_type");
        std::string text = type;
        EXPECT_TRUE(archive->ExchangeString(text));
        archive->LeaveSection();
        archive->Close();
    }
    return {file.Bytes().begin(), file.Bytes().end()};
}

TEST(DocumentFormTest, OnlyARootWithTheDocumentTypeIsADocument) {
    CKWXMemFile package;
    {
        CRBFileSystem skin;
        ASSERT_TRUE(skin.Attach(&package, CRBFileSystem::modeWrite));
        ASSERT_TRUE(skin.CreateDirectory("Player Skin"));
        ASSERT_TRUE(skin.Close());
    }
    struct Case {
        const char* name;
        Bytes bytes;
        std::optional<DocumentForm> form;
    };
    const Case cases[] = {
        {"current form", storedRoot(true, kDocumentRootSection, kDocumentType),
         DocumentForm::current},
        {"older form", storedRoot(false, kDocumentRootSection, kDocumentType), DocumentForm::older},
        {"another document type", storedRoot(true, kDocumentRootSection, "Lumenreel_VER 2"),
         std::nullopt},
        {"the type with one more byte",
         storedRoot(false, kDocumentRootSection, std::string(kDocumentType) + " "), std::nullopt},
        {"another root", storedRoot(true, "SKIN_ROOT", kDocumentType), std::nullopt},
        {"a skin package", {package.Bytes().begin(), package.Bytes().end()}, std::nullopt},
        {"text", {'h', 'e', 'l', 'l', 'o'}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(documentFormOf(c.bytes), c.form) << c.name;
}

}  // namespace
}  // namespace lumenreel::test
