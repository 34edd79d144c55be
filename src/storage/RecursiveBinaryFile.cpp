#include "storage/RecursiveBinaryFile.h"

#include <limits>
#include <memory>
#include <utility>

#include "base/ByteOrder.h"
#include "base/CodePage.h"
#include "base/DiskFile.h"

namespace {

// The smallest record: a one-byte name, no data, no children.
constexpr std::size_t kMinRecordSize = 2 + 1 + 4 + 4;
constexpr std::uint64_t kIndexOffsetField = 16;
constexpr std::uint64_t kTotalLengthField = 20;

bool fitsU32(std::uint64_t value) {
    return value <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

using CRFKey = CRecursiveBinaryFile::CRFKey;
using CRFKeyStructure = CRecursiveBinaryFile::CRFKeyStructure;

// ---- CRFKey

void CRFKey::Clear() {
    m_id = 0;
    m_name.clear();
    m_caseSensitive = true;
}

int CRFKey::compareNames(const CRFKey& other) const {
    return m_caseSensitive ? m_name.compare(other.m_name)
                           : lumenreel::ansiCompareNoCase(m_name, other.m_name);
}

bool CRFKey::Less(const CRFKey& other) const {
    if (IsNumeric() != other.IsNumeric())
        return IsNumeric();
    if (IsNumeric())
        return m_id < other.m_id;
    return compareNames(other) < 0;
}

bool CRFKey::Equals(const CRFKey& other) const {
    if (IsNumeric() != other.IsNumeric())
        return false;
    if (IsNumeric())
        return m_id == other.m_id;
    return compareNames(other) == 0;
}

bool CRFKey::Write(std::vector<std::uint8_t>& out) const {
    if (m_name.size() > CRecursiveBinaryFile::kMaxNameLength)
        return false;
    lumenreel::appendLE(out, static_cast<std::uint16_t>(m_name.size()));
    if (m_name.empty()) {
        lumenreel::appendLE(out, m_id);
    } else {
        out.insert(out.end(), m_name.begin(), m_name.end());
    }
    return true;
}

bool CRFKey::Read(lumenreel::ByteReader& reader) {
    Clear();
    std::uint16_t length = reader.u16();
    if (length == 0) {
        m_id = reader.u32();
    } else {
        m_name = reader.takeString(length);
    }
    return reader.ok();
}

// ---- CRFKeyStructure

CRFKeyStructure* CRFKeyStructure::AddChild(const CRFKey& key, bool caseSensitive) {
    if (FindChild(key, false))
        return nullptr;
    CRFKey stored = key;
    stored.SetCaseSensitive(caseSensitive);
    auto [it, inserted] = m_children.emplace(stored, CRFKeyStructure(stored));
    return inserted ? &it->second : nullptr;
}

CRFKeyStructure* CRFKeyStructure::FindChild(const CRFKey& key, bool recursive) {
    return const_cast<CRFKeyStructure*>(std::as_const(*this).FindChild(key, recursive));
}

const CRFKeyStructure* CRFKeyStructure::FindChild(const CRFKey& key, bool recursive) const {
    if (m_children.empty())
        return nullptr;
    if (!recursive) {
        // Siblings share one case flag, so the map's order finds the first equal child.
        CRFKey probe = key;
        probe.SetCaseSensitive(m_children.begin()->first.IsCaseSensitive());
        auto it = m_children.find(probe);
        return it == m_children.end() ? nullptr : &it->second;
    }
    for (const auto& [childKey, child] : m_children) {
        if (childKey.Equals(key))
            return &child;
        if (const CRFKeyStructure* found = child.FindChild(key, true))
            return found;
    }
    return nullptr;
}

CRFKeyStructure* CRFKeyStructure::FindPath(const std::vector<CRFKey>& keys) {
    return const_cast<CRFKeyStructure*>(std::as_const(*this).FindPath(keys));
}

const CRFKeyStructure* CRFKeyStructure::FindPath(const std::vector<CRFKey>& keys) const {
    const CRFKeyStructure* node = this;
    for (const CRFKey& key : keys) {
        node = node->FindChild(key, false);
        if (!node)
            return nullptr;
    }
    return node;
}

void CRFKeyStructure::SetData(std::uint32_t offset, std::uint32_t size) {
    m_dataOffset = offset;
    m_dataSize = size;
}

bool CRFKeyStructure::Write(std::vector<std::uint8_t>& out, bool recursive) const {
    if (!m_key.Write(out) || !fitsU32(m_children.size()))
        return false;
    lumenreel::appendLE(out, m_dataSize);
    if (m_dataSize != 0)
        lumenreel::appendLE(out, m_dataOffset);
    lumenreel::appendLE(out, static_cast<std::uint32_t>(m_children.size()));
    if (!recursive)
        return true;
    for (const auto& entry : m_children) {
        if (!entry.second.Write(out, true))
            return false;
    }
    return true;
}

bool CRFKeyStructure::Read(lumenreel::ByteReader& reader, bool recursive, bool caseSensitive,
                           const ReadLimits& limits) {
    Clear();
    if (!m_key.Read(reader))
        return false;
    m_key.SetCaseSensitive(caseSensitive);
    m_dataSize = reader.u32();
    if (m_dataSize != 0)
        m_dataOffset = reader.u32();
    std::uint32_t childCount = reader.u32();
    if (!reader.ok())
        return false;
    if (m_dataSize != 0 && (m_dataOffset < limits.dataBegin ||
                            std::uint64_t{m_dataOffset} + m_dataSize > limits.dataEnd)) {
        return false;
    }
    if (limits.visitor && *limits.visitor) {
        (*limits.visitor)(m_key, m_dataSize, m_dataOffset, kMaxDepth - limits.depthLeft);
    }
    if (childCount == 0 || !recursive)
        return true;
    if (limits.depthLeft <= 0 || !reader.canHold(childCount, kMinRecordSize))
        return false;

    ReadLimits childLimits = limits;
    --childLimits.depthLeft;
    for (std::uint32_t i = 0; i < childCount; ++i) {
        CRFKeyStructure child;
        if (!child.Read(reader, true, caseSensitive, childLimits))
            return false;
        CRFKey key = child.GetKey();
        // A later record with an equivalent key replaces the earlier one.
        m_children.insert_or_assign(std::move(key), std::move(child));
    }
    return true;
}

void CRFKeyStructure::Clear() {
    m_dataOffset = 0;
    m_dataSize = 0;
    m_key.Clear();
    m_children.clear();
}

// ---- CRecursiveBinaryFile

CRecursiveBinaryFile::CRecursiveBinaryFile() {
    Reset();
}

CRecursiveBinaryFile::~CRecursiveBinaryFile() {
    Close();
}

bool CRecursiveBinaryFile::attach(CFile* file, InPt<CFile> owned) {
    if (m_file || !file)
        return false;
    m_file = file;
    m_ownedFile = std::move(owned);
    m_base = file->GetPosition();
    m_current = &m_root;
    m_path.clear();
    return true;
}

bool CRecursiveBinaryFile::OpenRead(CFile* file) {
    if (!attach(file, InPt<CFile>()))
        return false;
    m_writing = false;
    if (ReadHeader())
        return true;
    Abort();
    return false;
}

bool CRecursiveBinaryFile::OpenRead(const std::string& path) {
    if (m_file)
        return false;
    auto disk = std::make_unique<CDiskFile>();
    if (!disk->Open(path, CDiskFile::Mode::read))
        return false;
    CFile* file = disk.get();
    attach(file, InPt<CFile>(std::move(disk)));
    m_writing = false;
    if (ReadHeader())
        return true;
    Abort();
    return false;
}

bool CRecursiveBinaryFile::OpenWrite(CFile* file) {
    if (!attach(file, InPt<CFile>()))
        return false;
    if (WriteHeader()) {
        m_writing = true;
        return true;
    }
    Abort();
    return false;
}

bool CRecursiveBinaryFile::OpenWrite(const std::string& path) {
    if (m_file)
        return false;
    auto disk = std::make_unique<CDiskFile>();
    if (!disk->Open(path, CDiskFile::Mode::createWrite))
        return false;
    CFile* file = disk.get();
    attach(file, InPt<CFile>(std::move(disk)));
    if (WriteHeader()) {
        m_writing = true;
        return true;
    }
    Abort();
    return false;
}

bool CRecursiveBinaryFile::AddKey(std::string_view name, bool enter) {
    return AddKey(CRFKey(std::string(name), m_caseSensitive), enter);
}

bool CRecursiveBinaryFile::AddKey(std::uint32_t id, bool enter) {
    return AddKey(CRFKey(id), enter);
}

bool CRecursiveBinaryFile::AddKey(const CRFKey& key, bool enter) {
    if (!IsWriting() || !m_current || key.GetName().size() > kMaxNameLength)
        return false;
    CRFKeyStructure* child = m_current->AddChild(key, m_caseSensitive);
    if (!child)
        return false;
    if (enter) {
        m_path.push_back(child->GetKey());
        m_current = child;
    }
    return true;
}

bool CRecursiveBinaryFile::WriteData(const void* buffer, std::size_t length) {
    if (!IsWriting() || !m_current || m_current->GetDataOffset() != 0)
        return false;
    if (length != 0 && !buffer)
        return false;
    std::uint64_t position = m_file->GetPosition();
    std::uint64_t relative = position - m_base;
    // Offsets and sizes are 32-bit: a block beyond that could not be found again.
    if (!fitsU32(relative + length))
        return false;
    if ((length != 0 && !m_file->Write(buffer, length)) || !m_file->Flush()) {
        m_file->SeekTo(position);
        return false;
    }
    m_current->SetData(static_cast<std::uint32_t>(relative), static_cast<std::uint32_t>(length));
    return true;
}

std::uint32_t CRecursiveBinaryFile::GetDataSize() const {
    return IsOpen() && m_current ? m_current->GetDataSize() : 0;
}

bool CRecursiveBinaryFile::ReadData(void* buffer, std::uint32_t offset, std::uint32_t length) {
    if (!IsOpen() || !m_current || m_current->GetDataSize() == 0)
        return false;
    if (std::uint64_t{offset} + length > m_current->GetDataSize())
        return false;
    if (length == 0)
        return true;
    if (!buffer)
        return false;
    std::uint64_t saved = m_file->GetPosition();
    bool ok = m_file->SeekTo(m_base + m_current->GetDataOffset() + offset) &&
              m_file->ReadExact(buffer, length);
    m_file->SeekTo(saved);
    return ok;
}

bool CRecursiveBinaryFile::ReadAllData(void* buffer) {
    return ReadData(buffer, 0, GetDataSize());
}

bool CRecursiveBinaryFile::CreatePath(std::string_view path, bool enter) {
    std::vector<CRFKey> keys;
    SplitPath(path, keys);
    return CreatePath(keys, enter);
}

bool CRecursiveBinaryFile::CreatePath(const std::vector<CRFKey>& keys, bool enter) {
    if (!IsWriting() || keys.empty())
        return false;
    CRFKeyStructure* node = &m_root;
    for (const CRFKey& key : keys) {
        if (key.GetName().size() > kMaxNameLength)
            return false;
        CRFKeyStructure* child = node->FindChild(key, false);
        node = child ? child : node->AddChild(key, m_caseSensitive);
    }
    if (enter) {
        m_current = node;
        m_path = keys;
    }
    return true;
}

bool CRecursiveBinaryFile::PathExists(std::string_view path) const {
    std::vector<CRFKey> keys;
    SplitPath(path, keys);
    return PathExists(keys);
}

bool CRecursiveBinaryFile::PathExists(const std::vector<CRFKey>& keys) const {
    return IsOpen() && m_root.FindPath(keys) != nullptr;
}

bool CRecursiveBinaryFile::EnterKey(const CRFKey& key) {
    std::vector<CRFKey> path = m_path;
    path.push_back(key);
    return EnterPath(path);
}

bool CRecursiveBinaryFile::EnterPath(const std::vector<CRFKey>& keys) {
    if (!IsOpen())
        return false;
    CRFKeyStructure* node = m_root.FindPath(keys);
    if (!node)
        return false;
    m_current = node;
    m_path = keys;
    return true;
}

bool CRecursiveBinaryFile::EnterPath(std::string_view path) {
    std::vector<CRFKey> keys;
    SplitPath(path, keys);
    return EnterPath(keys);
}

bool CRecursiveBinaryFile::GoUp() {
    if (m_path.empty())
        return false;
    std::vector<CRFKey> parent(m_path.begin(), m_path.end() - 1);
    return EnterPath(parent);
}

std::uint32_t CRecursiveBinaryFile::GetChildCount() const {
    return m_current ? static_cast<std::uint32_t>(m_current->GetChildren().size()) : 0;
}

bool CRecursiveBinaryFile::writeIndex() {
    std::uint64_t indexPosition = m_file->GetPosition();
    std::vector<std::uint8_t> index;
    if (!m_root.Write(index, true))
        return false;
    std::uint64_t indexOffset = indexPosition - m_base;
    std::uint64_t totalLength = indexOffset + index.size();
    if (!fitsU32(totalLength))
        return false;
    return m_file->Write(index.data(), index.size()) &&
           PatchIndexOffset(static_cast<std::uint32_t>(indexOffset)) &&
           PatchTotalLength(static_cast<std::uint32_t>(totalLength)) && m_file->Flush();
}

bool CRecursiveBinaryFile::Close() {
    bool ok = !IsWriting() || writeIndex();
    if (m_ownedFile)
        m_ownedFile->Close();
    Reset();
    return ok;
}

void CRecursiveBinaryFile::Reset() {
    m_file = nullptr;
    m_ownedFile.reset();
    m_base = 0;
    m_root.Clear();
    m_caseSensitive = true;
    m_current = &m_root;
    m_path.clear();
    m_writing = false;
}

void CRecursiveBinaryFile::Abort() {
    m_ownedFile.reset();
    Reset();
}

bool CRecursiveBinaryFile::WriteHeader() {
    if (!m_file)
        return false;
    std::uint8_t header[kHeaderSize] = {};
    std::copy(kIdentifier.bytes.begin(), kIdentifier.bytes.end(), header);
    return m_file->Write(header, sizeof header);
}

bool CRecursiveBinaryFile::ReadHeader() {
    if (!IsOpen() || m_writing)
        return false;
    std::uint8_t header[kHeaderSize];
    if (!m_file->SeekTo(m_base) || !m_file->ReadExact(header, sizeof header)) {
        m_file->SeekTo(m_base);
        return false;
    }
    // The identifier is not compared: stored containers are recognised by a non-zero length.
    std::uint32_t indexOffset = lumenreel::loadU32(header + kIndexOffsetField);
    std::uint32_t totalLength = lumenreel::loadU32(header + kTotalLengthField);
    std::uint64_t fileLength = m_file->GetLength();
    std::uint64_t available = fileLength > m_base ? fileLength - m_base : 0;
    if (totalLength == 0 || totalLength > available || indexOffset < kHeaderSize ||
        indexOffset >= totalLength) {
        m_file->SeekTo(m_base);
        return false;
    }

    std::vector<std::uint8_t> index(totalLength - indexOffset);
    bool ok = m_file->SeekTo(m_base + indexOffset) && m_file->ReadExact(index.data(), index.size());
    if (ok) {
        lumenreel::ByteReader reader(index);
        CRFKeyStructure::ReadLimits limits;
        limits.dataBegin = kHeaderSize;
        limits.dataEnd = totalLength;
        limits.visitor = &m_indexVisitor;
        ok = m_root.Read(reader, true, m_caseSensitive, limits);
    }
    m_file->SeekTo(m_base);
    if (!ok)
        m_root.Clear();
    m_current = &m_root;
    m_path.clear();
    return ok;
}

bool CRecursiveBinaryFile::SplitPath(std::string_view path, std::vector<CRFKey>& keys) const {
    keys.clear();
    while (!path.empty()) {
        std::size_t end = path.find('\\');
        std::string_view name = path.substr(0, end);
        if (!name.empty())
            keys.emplace_back(std::string(name), m_caseSensitive);
        if (end == std::string_view::npos)
            break;
        path.remove_prefix(end + 1);
    }
    return !keys.empty();
}

bool CRecursiveBinaryFile::patch(std::uint64_t fieldOffset, std::uint32_t value) {
    if (!m_file)
        return false;
    std::uint64_t saved = m_file->GetPosition();
    std::uint8_t bytes[4];
    lumenreel::storeLE(bytes, value);
    bool ok = m_file->SeekTo(m_base + fieldOffset) && m_file->Write(bytes, sizeof bytes);
    return m_file->SeekTo(saved) && ok;
}

bool CRecursiveBinaryFile::PatchIndexOffset(std::uint32_t value) {
    return patch(kIndexOffsetField, value);
}

bool CRecursiveBinaryFile::PatchTotalLength(std::uint32_t value) {
    return patch(kTotalLengthField, value);
}
