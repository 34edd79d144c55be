#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteReader.h"
#include "base/File.h"
#include "base/Guid.h"
#include "base/InPt.h"

// A tree of keys stored in one file (or a stretch of one): each key may carry one block of data
// bytes and any number of child keys. Data blocks are appended while writing; the key tree (the
// index) is written once at the end and the 24-byte header then points at it. A reader loads the
// whole index on open and reads data blocks on demand.
class CRecursiveBinaryFile {
public:
    static constexpr Guid kIdentifier = Guid::fromString("{DA84155E-5E20-42B0-B406-9A2400F99B95}");
    static constexpr std::uint32_t kHeaderSize = 24;
    // Deeper indexes are refused when reading: the tree is walked recursively.
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kMaxNameLength = 0xFFFF;

    // A key: a numeric id (0 = not numeric) or a name in the ANSI code page. The case flag of the
    // left key decides whether names compare byte-wise (on) or case-insensitively (off).
    class CRFKey {
    public:
        CRFKey() = default;
        explicit CRFKey(std::string name, bool caseSensitive = true)
            : m_name(std::move(name)), m_caseSensitive(caseSensitive) {}
        explicit CRFKey(std::uint32_t id) : m_id(id) {}

        bool IsNumeric() const { return m_id != 0; }
        void Clear();
        bool Less(const CRFKey& other) const;
        bool Equals(const CRFKey& other) const;
        // Appends the key's part of an index record; false when the name is too long to store.
        bool Write(std::vector<std::uint8_t>& out) const;
        bool Read(lumenreel::ByteReader& reader);

        std::uint32_t GetId() const { return m_id; }
        const std::string& GetName() const { return m_name; }
        bool IsCaseSensitive() const { return m_caseSensitive; }
        void SetCaseSensitive(bool flag) { m_caseSensitive = flag; }

    private:
        int compareNames(const CRFKey& other) const;

        std::uint32_t m_id = 0;
        std::string m_name;
        bool m_caseSensitive = true;
    };

    struct KeyOrder {
        bool operator()(const CRFKey& a, const CRFKey& b) const { return a.Less(b); }
    };

    // Called for every index record in stored order while an index is read (tools that show the
    // index as stored use it; the tree itself is kept in key order).
    using IndexVisitor = std::function<void(const CRFKey& key, std::uint32_t dataSize,
                                            std::uint32_t dataOffset, int depth)>;

    // A node of the tree; children are owned by value, so copying a node copies its subtree.
    class CRFKeyStructure {
    public:
        using ChildMap = std::map<CRFKey, CRFKeyStructure, KeyOrder>;

        // What a read record may refer to.
        struct ReadLimits {
            std::uint64_t dataBegin = 0;
            std::uint64_t dataEnd = 0;
            int depthLeft = kMaxDepth;
            const IndexVisitor* visitor = nullptr;
        };

        CRFKeyStructure() = default;
        explicit CRFKeyStructure(CRFKey key) : m_key(std::move(key)) {}

        // Nothing when an equal child exists.
        CRFKeyStructure* AddChild(const CRFKey& key, bool caseSensitive);
        CRFKeyStructure* FindChild(const CRFKey& key, bool recursive);
        const CRFKeyStructure* FindChild(const CRFKey& key, bool recursive) const;
        // The node itself for an empty path.
        CRFKeyStructure* FindPath(const std::vector<CRFKey>& keys);
        const CRFKeyStructure* FindPath(const std::vector<CRFKey>& keys) const;
        void SetData(std::uint32_t offset, std::uint32_t size);
        // Appends the record (and with recursive its subtree) to an index image.
        bool Write(std::vector<std::uint8_t>& out, bool recursive) const;
        // Reads a record from an index image; false for anything that does not fit the limits.
        bool Read(lumenreel::ByteReader& reader, bool recursive, bool caseSensitive,
                  const ReadLimits& limits);
        void Clear();

        const CRFKey& GetKey() const { return m_key; }
        std::uint32_t GetDataOffset() const { return m_dataOffset; }
        std::uint32_t GetDataSize() const { return m_dataSize; }
        const ChildMap& GetChildren() const { return m_children; }

    private:
        std::uint32_t m_dataOffset = 0;
        std::uint32_t m_dataSize = 0;
        CRFKey m_key;
        ChildMap m_children;
    };

    CRecursiveBinaryFile();
    ~CRecursiveBinaryFile();
    CRecursiveBinaryFile(const CRecursiveBinaryFile&) = delete;
    CRecursiveBinaryFile& operator=(const CRecursiveBinaryFile&) = delete;

    // To be called before opening.
    void SetCaseSensitive(bool flag) { m_caseSensitive = flag; }
    bool IsCaseSensitive() const { return m_caseSensitive; }
    void SetIndexVisitor(IndexVisitor visitor) { m_indexVisitor = std::move(visitor); }

    // The stream is not owned; the container starts at its current position.
    bool OpenRead(CFile* file);
    bool OpenRead(const std::string& path);
    bool OpenWrite(CFile* file);
    bool OpenWrite(const std::string& path);

    bool AddKey(std::string_view name, bool enter);
    bool AddKey(std::uint32_t id, bool enter);
    bool AddKey(const CRFKey& key, bool enter);
    bool WriteData(const void* buffer, std::size_t length);
    std::uint32_t GetDataSize() const;
    // Reads length bytes from offset within the current key's data; a range beyond it fails.
    bool ReadData(void* buffer, std::uint32_t offset, std::uint32_t length);
    bool ReadAllData(void* buffer);

    bool CreatePath(std::string_view path, bool enter);
    bool CreatePath(const std::vector<CRFKey>& keys, bool enter);
    bool PathExists(std::string_view path) const;
    bool PathExists(const std::vector<CRFKey>& keys) const;
    bool EnterKey(const CRFKey& key);
    bool EnterPath(const std::vector<CRFKey>& keys);
    bool EnterPath(std::string_view path);
    bool GoUp();
    std::uint32_t GetChildCount() const;
    const std::vector<CRFKey>& GetCurrentPath() const { return m_path; }

    // Writes the index when writing; false when that failed (the container is then unreadable).
    bool Close();
    void Reset();
    static std::uint32_t GetHeaderSize() { return kHeaderSize; }
    const CRFKeyStructure* GetCurrent() const { return m_current; }
    void Abort();
    bool WriteHeader();
    bool ReadHeader();
    bool IsWriting() const { return IsOpen() && m_writing; }
    bool IsOpen() const { return m_file && m_file->IsOpen(); }
    bool SplitPath(std::string_view path, std::vector<CRFKey>& keys) const;
    bool PatchIndexOffset(std::uint32_t value);
    bool PatchTotalLength(std::uint32_t value);

private:
    bool attach(CFile* file, InPt<CFile> owned);
    bool patch(std::uint64_t fieldOffset, std::uint32_t value);
    bool writeIndex();

    CRFKeyStructure m_root;
    CFile* m_file = nullptr;
    InPt<CFile> m_ownedFile;
    std::uint64_t m_base = 0;
    CRFKeyStructure* m_current = nullptr;
    std::vector<CRFKey> m_path;
    bool m_writing = false;
    bool m_caseSensitive = true;
    IndexVisitor m_indexVisitor;
};
