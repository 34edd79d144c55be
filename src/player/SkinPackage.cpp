#include "player/SkinPackage.h"

bool CSkinPackage::Open(std::span<const std::uint8_t> bytes) {
    m_fileSystem.Close();
    m_bytes = CKWXOleStreamFile(bytes);
    return m_fileSystem.Attach(&m_bytes, CRBFileSystem::modeRead);
}
