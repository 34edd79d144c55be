// Attaches arbitrary bytes as a package, lists its directories recursively and reads its files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/MemFile.h"
#include "storage/RBFileSystem.h"

namespace {

void visit(CRBFileSystem& package, const std::string& folder, int depth) {
    std::vector<std::string> names;
    if (depth > 300 || !package.ListDirectory(folder, names))
        return;
    for (const std::string& name : names) {
        // Such names cannot be reached by path (or would name the folder itself).
        if (name.empty() || name.find('\\') != std::string::npos)
            continue;
        std::string path = folder.empty() ? name : folder + '\\' + name;
        if (package.IsDirectory(path)) {
            visit(package, path, depth + 1);
            continue;
        }
        auto file = package.OpenFile(path);
        if (!file)
            __builtin_trap();
        std::vector<std::uint8_t> bytes(4096);
        std::uint64_t total = 0;
        while (std::size_t got = file->Read(bytes.data(), bytes.size()))
            total += got;
        if (total != file->GetLength())
            __builtin_trap();
        file->Seek(-1, CFile::SeekFrom::end);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKWXOleStreamFile stream({data, size});
    CRBFileSystem package;
    if (package.Attach(&stream, CRBFileSystem::modeRead))
        visit(package, "", 0);
    return 0;
}
