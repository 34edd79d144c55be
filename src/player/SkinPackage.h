#pragma once

#include <cstdint>
#include <span>

#include "base/MemFile.h"
#include "storage/RBFileSystem.h"

// A skin package read from bytes in memory (the compiled-in one, or one appended to the program).
class CSkinPackage {
public:
    // False when the bytes are not a package; the file system then stays closed.
    bool Open(std::span<const std::uint8_t> bytes);
    bool IsOpen() const { return m_fileSystem.IsOpen(); }
    CRBFileSystem* FileSystem() { return IsOpen() ? &m_fileSystem : nullptr; }

private:
    // Declared first: the file system reads from it until it is gone.
    CKWXOleStreamFile m_bytes;
    CRBFileSystem m_fileSystem;
};
