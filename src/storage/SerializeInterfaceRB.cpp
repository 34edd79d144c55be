#include "storage/SerializeInterfaceRB.h"

#include <algorithm>

#include "base/ArchiveString.h"
#include "base/ByteReader.h"

CSerializeInterfaceRB::CSerializeInterfaceRB(CFile& file, int mode)
    : CSerializeInterface(file, mode) {
    if (IsStoring()) {
        m_container.OpenWrite(&file);
    } else {
        m_container.OpenRead(&file);
    }
}

CSerializeInterfaceRB::~CSerializeInterfaceRB() {
    CSerializeInterfaceRB::Close();
}

void CSerializeInterfaceRB::Close() {
    if (IsClosed())
        return;
    bool wasStoring = m_container.IsWriting();
    bool closed = m_container.Close();
    if (wasStoring && !closed)
        SetStatus(false);
    m_sections.clear();
    CSerializeInterface::Close();
}

bool CSerializeInterfaceRB::EnterSection(const std::string& name) {
    bool entered = !IsClosed() && (IsStoring() ? m_container.AddKey(name, true)
                                               : m_container.EnterKey(CRecursiveBinaryFile::CRFKey(
                                                     name, m_container.IsCaseSensitive())));
    m_sections.push_back(entered);
    return entered;
}

void CSerializeInterfaceRB::LeaveSection() {
    if (m_sections.empty())
        return;
    bool entered = m_sections.back();
    m_sections.pop_back();
    // A section that was never entered left the container where it was.
    SetStatus(entered ? m_container.GoUp() : true);
}

int CSerializeInterfaceRB::CountEntries() {
    return static_cast<int>(m_container.GetChildCount());
}

bool CSerializeInterfaceRB::ExchangeSectionKeys(std::vector<StoredKey>& keys) {
    if (IsClosed() || !m_container.IsOpen())
        return SetStatus(false);
    if (IsStoring())
        return SetStatus(StoreMissingKeys(keys));
    std::vector<StoredKey> read;
    if (!LoadKeysBelow(read))
        return SetStatus(false);
    keys = std::move(read);
    return SetStatus(true);
}

namespace {

CRecursiveBinaryFile::CRFKey keyOf(const StoredKey& stored) {
    return stored.id != 0 ? CRecursiveBinaryFile::CRFKey(stored.id)
                          : CRecursiveBinaryFile::CRFKey(stored.name, stored.caseSensitive);
}

}  // namespace

// The tree is as deep as the container's index, which its reader limits.
bool CSerializeInterfaceRB::LoadKeysBelow(std::vector<StoredKey>& keys) {
    const auto* here = m_container.GetCurrent();
    if (!here)
        return false;
    for (const auto& [key, node] : here->GetChildren()) {
        StoredKey stored{key.GetName(),
                         key.GetId(),
                         key.IsCaseSensitive(),
                         std::vector<std::uint8_t>(node.GetDataSize()),
                         {}};
        if (!m_container.EnterKey(key))
            return false;
        bool read = stored.data.empty() || m_container.ReadAllData(stored.data.data());
        read = read && LoadKeysBelow(stored.children);
        if (!m_container.GoUp() || !read)
            return false;
        keys.push_back(std::move(stored));
    }
    return true;
}

bool CSerializeInterfaceRB::StoreMissingKeys(const std::vector<StoredKey>& keys) {
    for (const StoredKey& stored : keys) {
        CRecursiveBinaryFile::CRFKey key = keyOf(stored);
        bool added = m_container.AddKey(key, true);
        if (!added && (stored.children.empty() || !m_container.EnterKey(key)))
            continue;
        bool written = !added || stored.data.empty() ||
                       m_container.WriteData(stored.data.data(), stored.data.size());
        written = written && StoreMissingKeys(stored.children);
        if (!m_container.GoUp() || !written)
            return false;
    }
    return true;
}

bool CSerializeInterfaceRB::StoreKeyedBytes(std::span<const std::uint8_t> bytes) {
    if (!m_container.AddKey(GetKey(), true))
        return false;
    static const std::uint8_t kNothing = 0;
    bool written = m_container.WriteData(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    return m_container.GoUp() && written;
}

std::optional<std::vector<std::uint8_t>> CSerializeInterfaceRB::LoadKeyData() {
    CRecursiveBinaryFile::CRFKey key(GetKey(), m_container.IsCaseSensitive());
    if (!m_container.IsOpen() || m_container.IsWriting() || !m_container.EnterKey(key)) {
        return std::nullopt;
    }
    // The container checked on open that every data block lies inside it, so the size is bounded
    // by the file.
    std::vector<std::uint8_t> data(m_container.GetDataSize());
    bool read = data.empty() || m_container.ReadAllData(data.data());
    bool left = m_container.GoUp();
    if (!read || !left)
        return std::nullopt;
    return data;
}

bool CSerializeInterfaceRB::LoadKeyedBytes(std::span<std::uint8_t> bytes) {
    auto data = LoadKeyData();
    // A key without data cannot be read, whatever size was asked for.
    if (!data || data->empty() || data->size() != bytes.size())
        return false;
    std::copy(data->begin(), data->end(), bytes.begin());
    return true;
}

bool CSerializeInterfaceRB::StoreValue(ValueKind, std::span<const std::uint8_t> bytes) {
    return StoreKeyedBytes(bytes);
}

bool CSerializeInterfaceRB::LoadValue(ValueKind, std::span<std::uint8_t> bytes) {
    return LoadKeyedBytes(bytes);
}

bool CSerializeInterfaceRB::StoreString(std::string_view value, bool) {
    std::vector<std::uint8_t> form;
    lumenreel::appendArchiveString(form, value);
    return StoreKeyedBytes(form);
}

bool CSerializeInterfaceRB::LoadString(std::string& value, bool) {
    auto data = LoadKeyData();
    if (!data)
        return false;
    lumenreel::ByteReader reader(*data);
    auto text = lumenreel::readArchiveString(reader);
    if (!text)
        return false;
    value = std::move(*text);
    return true;
}

bool CSerializeInterfaceRB::StoreStream(std::span<const std::uint8_t> bytes) {
    return StoreKeyedBytes(bytes);
}

bool CSerializeInterfaceRB::LoadStream(std::vector<std::uint8_t>& bytes) {
    auto data = LoadKeyData();
    if (!data)
        return false;
    bytes = std::move(*data);
    return true;
}

bool CSerializeInterfaceRB::StoreCompressedMember(std::span<const std::uint8_t> member) {
    return StoreKeyedBytes(member);
}

bool CSerializeInterfaceRB::LoadCompressedMember(std::vector<std::uint8_t>& member) {
    auto data = LoadKeyData();
    // Every stored member has a header and a trailer; a key without data holds none.
    if (!data || data->empty())
        return false;
    member = std::move(*data);
    return true;
}
