// Opens arbitrary bytes as a container, walks the whole tree and reads every key's data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/MemFile.h"
#include "storage/RecursiveBinaryFile.h"

namespace {

using CRFKey = CRecursiveBinaryFile::CRFKey;

void walk(CRecursiveBinaryFile& container, std::vector<CRFKey>& path) {
    if (!container.EnterPath(path))
        __builtin_trap();
    std::vector<std::uint8_t> data(container.GetDataSize());
    if (!data.empty() && !container.ReadAllData(data.data()))
        __builtin_trap();
    std::vector<CRFKey> children;
    for (const auto& entry : container.GetCurrent()->GetChildren())
        children.push_back(entry.first);
    for (const CRFKey& child : children) {
        path.push_back(child);
        walk(container, path);
        path.pop_back();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool caseSensitive : {true, false}) {
        CKWXOleStreamFile stream({data, size});
        CRecursiveBinaryFile container;
        container.SetCaseSensitive(caseSensitive);
        if (!container.OpenRead(&stream))
            continue;
        std::vector<CRFKey> path;
        walk(container, path);
    }
    return 0;
}
