#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/DiskFile.h"
#include "base/File.h"
#include "base/InPt.h"
#include "base/MemFile.h"
#include "storage/RecursiveBinaryFile.h"

class CRBFilesystemFile;

// A small file system inside a container: directories are keys without data, files are keys whose
// data is their content, paths are backslash-separated names compared case-insensitively.
// A package is either read or written, never both.
class CRBFileSystem {
public:
    enum Mode : int { modeRead = 1, modeWrite = 2 };

    CRBFileSystem() = default;
    // Closes the open files (storing what write-mode files hold), then the container, which
    // completes a written package.
    virtual ~CRBFileSystem();
    CRBFileSystem(const CRBFileSystem&) = delete;
    CRBFileSystem& operator=(const CRBFileSystem&) = delete;

    bool Open(const std::string& path, int mode);
    // The file is not owned and must outlive the file system; the package starts at its position.
    bool Attach(CFile* file, int mode);
    // Read mode: the file at path. Write mode: a new file at path (directories are created on the
    // way), stored when it is closed. Nothing when the path does not exist or cannot be made.
    std::unique_ptr<CRBFilesystemFile> OpenFile(std::string_view path);
    bool Exists(std::string_view path);
    bool IsDirectory(std::string_view path);
    // Names of files and directories alike, in stored order.
    bool ListDirectory(std::string_view path, std::vector<std::string>& names);
    // Empty and unreadable disk files, and paths that exist already, are not added.
    bool AddFileFromDisk(std::string_view path, const std::string& diskPath);
    bool CreateDirectory(std::string_view path);

    // Closes everything now; false when a written package could not be completed.
    bool Close();
    bool IsOpen() const { return m_container && m_container->IsOpen(); }
    int GetMode() const { return m_mode; }

private:
    friend class CRBFilesystemFile;
    void fileClosed(CRBFilesystemFile* file) { m_openFiles.erase(file); }
    bool closeAll();

    InPt<CRecursiveBinaryFile> m_container;
    InPt<CDiskFile> m_disk;
    int m_mode = 0;
    std::set<CRBFilesystemFile*> m_openFiles;
};

// One file of a package, usable wherever a CFile is read or written. Read-mode files read through
// the shared container; write-mode files collect their bytes in memory until they are closed.
class CRBFilesystemFile : public CFile {
public:
    ~CRBFilesystemFile() override { Close(); }
    CRBFilesystemFile(const CRBFilesystemFile&) = delete;
    CRBFilesystemFile& operator=(const CRBFilesystemFile&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    bool Write(const void* buffer, std::size_t count) override;
    // Read mode: positions are clamped to the file; seeking from the end lands on the end.
    std::int64_t Seek(std::int64_t offset, SeekFrom from) override;
    std::uint64_t GetPosition() const override;
    std::uint64_t GetLength() const override;
    void Close() override;
    bool IsOpen() const override { return m_container != nullptr; }

    void SetFilePath(std::string path) { m_path = std::move(path); }
    const std::string& GetFilePath() const { return m_path; }
    void SeekToBegin() { Seek(0, SeekFrom::begin); }
    std::uint64_t SeekToEnd() { return static_cast<std::uint64_t>(Seek(0, SeekFrom::end)); }
    // Write mode: makes the file's key the container's current one.
    bool ReEnter();

private:
    friend class CRBFileSystem;
    CRBFilesystemFile(CRBFileSystem* owner, std::string path, CRecursiveBinaryFile* container,
                      bool writing);

    CRBFileSystem* m_owner;
    std::string m_path;
    CRecursiveBinaryFile* m_container;
    std::uint32_t m_dataOffset = 0;
    std::uint32_t m_dataSize = 0;
    std::uint64_t m_position = 0;
    bool m_writing;
    InPt<CKWXOleStreamFile> m_stream;
};
