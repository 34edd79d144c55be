#include "storage/RBFileSystem.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::size_t kCopyChunk = 64 * 1024;
}

// ---- CRBFileSystem

CRBFileSystem::~CRBFileSystem() {
    Close();
}

bool CRBFileSystem::Close() {
    bool ok = closeAll();
    m_container.reset();
    if (m_disk)
        ok = m_disk->Flush() && ok;
    m_disk.reset();
    return ok;
}

bool CRBFileSystem::closeAll() {
    // Closing a file removes it from the registry.
    while (!m_openFiles.empty())
        (*m_openFiles.begin())->Close();
    return !m_container || m_container->Close();
}

bool CRBFileSystem::Open(const std::string& path, int mode) {
    Close();
    auto disk = std::make_unique<CDiskFile>();
    auto diskMode = mode == modeWrite ? CDiskFile::Mode::createWrite : CDiskFile::Mode::read;
    if (!disk->Open(path, diskMode)) {
        m_disk.reset();
        return false;
    }
    m_disk.reset(std::move(disk));
    if (Attach(m_disk.get(), mode))
        return true;
    m_disk.reset();
    return false;
}

bool CRBFileSystem::Attach(CFile* file, int mode) {
    closeAll();
    m_mode = mode;
    auto container = std::make_unique<CRecursiveBinaryFile>();
    container->SetCaseSensitive(false);
    bool opened = mode == modeWrite ? container->OpenWrite(file) : container->OpenRead(file);
    m_container.reset(opened ? std::move(container) : nullptr);
    return opened;
}

std::unique_ptr<CRBFilesystemFile> CRBFileSystem::OpenFile(std::string_view path) {
    if (!IsOpen())
        return nullptr;
    bool writing = m_mode == modeWrite;
    bool found = writing ? m_container->CreatePath(path, true) : m_container->EnterPath(path);
    if (!found)
        return nullptr;
    std::unique_ptr<CRBFilesystemFile> file(
        new CRBFilesystemFile(this, std::string(path), m_container.get(), writing));
    m_openFiles.insert(file.get());
    return file;
}

bool CRBFileSystem::Exists(std::string_view path) {
    if (!IsOpen())
        return false;
    std::vector<CRecursiveBinaryFile::CRFKey> keys;
    if (!m_container->SplitPath(path, keys))
        return true;
    return m_container->PathExists(keys);
}

bool CRBFileSystem::IsDirectory(std::string_view path) {
    if (!IsOpen())
        return false;
    std::vector<CRecursiveBinaryFile::CRFKey> keys;
    if (!m_container->SplitPath(path, keys))
        return true;
    return m_container->EnterPath(keys) && m_container->GetCurrent()->GetDataSize() == 0;
}

bool CRBFileSystem::ListDirectory(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    if (!IsOpen() || !IsDirectory(path) || !m_container->EnterPath(path))
        return false;
    for (const auto& entry : m_container->GetCurrent()->GetChildren()) {
        names.push_back(entry.first.GetName());
    }
    return true;
}

bool CRBFileSystem::AddFileFromDisk(std::string_view path, const std::string& diskPath) {
    if (!IsOpen() || m_mode != modeWrite || Exists(path))
        return false;
    CDiskFile disk;
    if (!disk.Open(diskPath, CDiskFile::Mode::read))
        return false;
    std::uint64_t length = disk.GetLength();
    if (length == 0)
        return false;
    std::unique_ptr<CRBFilesystemFile> file = OpenFile(path);
    if (!file)
        return false;
    std::vector<std::uint8_t> chunk(kCopyChunk);
    std::uint64_t copied = 0;
    while (std::size_t got = disk.Read(chunk.data(), chunk.size())) {
        if (!file->Write(chunk.data(), got))
            break;
        copied += got;
    }
    if (copied != length) {
        // Half a file is worse than none: nothing is stored.
        file->m_stream.reset();
        file->Close();
        return false;
    }
    file->Close();
    return m_container->EnterPath(path) && m_container->GetDataSize() == length;
}

bool CRBFileSystem::CreateDirectory(std::string_view path) {
    if (!IsOpen() || m_mode != modeWrite || Exists(path))
        return false;
    return m_container->CreatePath(path, true);
}

// ---- CRBFilesystemFile

CRBFilesystemFile::CRBFilesystemFile(CRBFileSystem* owner, std::string path,
                                     CRecursiveBinaryFile* container, bool writing)
    : m_owner(owner), m_path(std::move(path)), m_container(container), m_writing(writing) {
    if (writing) {
        m_stream.reset(std::make_unique<CKWXOleStreamFile>());
    } else {
        m_dataOffset = container->GetCurrent()->GetDataOffset();
        m_dataSize = container->GetCurrent()->GetDataSize();
    }
}

std::size_t CRBFilesystemFile::Read(void* buffer, std::size_t count) {
    if (!m_container)
        return 0;
    if (m_writing)
        return m_stream ? m_stream->Read(buffer, count) : 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_dataSize - m_position));
    if (count == 0)
        return 0;
    // Other files of the package move the shared container.
    if (!m_container->EnterPath(m_path) ||
        !m_container->ReadData(buffer, static_cast<std::uint32_t>(m_position),
                               static_cast<std::uint32_t>(count))) {
        return 0;
    }
    m_position += count;
    return count;
}

bool CRBFilesystemFile::Write(const void* buffer, std::size_t count) {
    return m_writing && m_stream && m_stream->Write(buffer, count);
}

std::int64_t CRBFilesystemFile::Seek(std::int64_t offset, SeekFrom from) {
    if (!m_container)
        return -1;
    if (m_writing)
        return m_stream ? m_stream->Seek(offset, from) : -1;
    std::int64_t size = m_dataSize;
    std::int64_t target = from == SeekFrom::begin ? offset
                          : from == SeekFrom::current
                              ? static_cast<std::int64_t>(m_position) + offset
                              : size;
    m_position = static_cast<std::uint64_t>(std::clamp<std::int64_t>(target, 0, size));
    return static_cast<std::int64_t>(m_position);
}

std::uint64_t CRBFilesystemFile::GetPosition() const {
    if (m_writing)
        return m_stream ? m_stream->GetPosition() : 0;
    return m_position;
}

std::uint64_t CRBFilesystemFile::GetLength() const {
    if (m_writing)
        return m_stream ? m_stream->GetLength() : 0;
    return m_dataSize;
}

bool CRBFilesystemFile::ReEnter() {
    return m_container && m_writing && m_container->EnterPath(m_path);
}

void CRBFilesystemFile::Close() {
    if (!m_container)
        return;
    if (m_owner)
        m_owner->fileClosed(this);
    if (m_writing && m_stream && m_container->EnterPath(m_path)) {
        auto bytes = m_stream->Bytes();
        m_container->WriteData(bytes.data(), bytes.size());
    }
    m_owner = nullptr;
    m_path.clear();
    m_container = nullptr;
    m_dataOffset = 0;
    m_dataSize = 0;
    m_position = 0;
    m_stream.reset();
}
