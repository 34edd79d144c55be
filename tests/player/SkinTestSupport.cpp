#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/SkinEmbedded.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

void extractFolder(CRBFileSystem& package, const std::string& path,
                   const std::filesystem::path& folder) {
    std::vector<std::string> names;
    ASSERT_TRUE(package.ListDirectory(path, names));
    std::filesystem::create_directories(folder);
    for (const std::string& name : names) {
        const std::string inner = path.empty() ? name : path + "\\" + name;
        if (package.IsDirectory(inner)) {
            extractFolder(package, inner, folder / name);
            continue;
        }
        auto file = package.OpenFile(inner);
        ASSERT_TRUE(file);
        std::vector<std::uint8_t> bytes(file->GetLength());
        ASSERT_TRUE(file->ReadExact(bytes.data(), bytes.size()));
        writeBytes(folder / name, bytes);
    }
}

}  // namespace

CSkinPackage& defaultSkinPackage() {
    static CSkinPackage package;
    if (!package.IsOpen())
        package.Open(embeddedSkinPackage());
    return package;
}

void extractPackage(CRBFileSystem& package, const std::filesystem::path& folder) {
    extractFolder(package, "", folder);
}

}  // namespace lumenreel::test
