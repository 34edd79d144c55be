#include "storage/SerializeInterface.h"

#include <limits>

#include "base/ArchiveString.h"
#include "base/ByteOrder.h"
#include "base/ByteReader.h"
#include "base/MemFile.h"
#include "storage/SerializeCompression.h"

namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

// Reads exactly bytes.size() bytes, or consumes nothing: a short stream fails before any read.
bool readWhole(CFile& file, std::span<std::uint8_t> bytes) {
    if (bytes.size() > file.RemainingBytes())
        return false;
    std::uint64_t start = file.GetPosition();
    if (file.ReadExact(bytes.data(), bytes.size()))
        return true;
    file.SeekTo(start);
    return false;
}

bool writeU32(CFile& file, std::uint32_t value) {
    std::uint8_t bytes[4];
    lumenreel::storeLE(bytes, value);
    return file.Write(bytes, sizeof bytes);
}

// A 32-bit length and then that many bytes.
bool writeSized(CFile& file, std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMax32)
        return false;
    return writeU32(file, static_cast<std::uint32_t>(bytes.size())) &&
           file.Write(bytes.data(), bytes.size());
}

bool readSized(CFile& file, std::vector<std::uint8_t>& bytes) {
    std::uint64_t start = file.GetPosition();
    std::uint8_t prefix[4];
    if (!readWhole(file, prefix))
        return false;
    std::uint32_t length = lumenreel::loadU32(prefix);
    // Checked against what the file holds before anything is allocated.
    if (length > file.RemainingBytes()) {
        file.SeekTo(start);
        return false;
    }
    std::vector<std::uint8_t> read(length);
    if (!readWhole(file, read)) {
        file.SeekTo(start);
        return false;
    }
    bytes = std::move(read);
    return true;
}

}  // namespace

CSerializeInterface::CSerializeInterface(CFile& file, int mode) : m_file(file), m_mode(mode) {}

CSerializeInterface::~CSerializeInterface() {
    if (!m_closed)
        CSerializeInterface::Close();
}

std::uint64_t CSerializeInterface::GetPosition() {
    return m_file.GetPosition();
}

bool CSerializeInterface::SeekTo(std::uint64_t position) {
    Flush();
    return m_file.SeekTo(position);
}

void CSerializeInterface::SetOccurrence(int) {}

int CSerializeInterface::GetOccurrence() const {
    return 0;
}

bool CSerializeInterface::EnterSection(const std::string&) {
    return true;
}

void CSerializeInterface::LeaveSection() {}

bool CSerializeInterface::ExchangeSectionKeys(std::vector<StoredKey>&) {
    // A plain stream has no keys to list.
    return SetStatus(false);
}

int CSerializeInterface::CountEntries() {
    return 0;
}

// --- Exchanges of the variable-size kinds ---------------------------------------------------

bool CSerializeInterface::ExchangeImage(CSerializableImage& image, int formatKind,
                                        const std::string& format) {
    return IsStoring() ? WriteImage(image, formatKind, format) : ReadImage(image);
}

bool CSerializeInterface::ExchangeBytes(void* buffer, std::uint64_t length) {
    return IsStoring() ? WriteBytes(buffer, length) : ReadBytes(buffer, length);
}

bool CSerializeInterface::ExchangeFile(CFile& file) {
    return IsStoring() ? WriteFile(file) : ReadFile(file);
}

bool CSerializeInterface::ExchangeStringWithLength(std::string& value) {
    return IsStoring() ? WriteStringWithLength(value) : ReadStringWithLength(value);
}

bool CSerializeInterface::ExchangeString(std::string& value) {
    return IsStoring() ? WriteString(value) : ReadString(value);
}

bool CSerializeInterface::ExchangeCompressed(std::vector<std::uint8_t>& data) {
    return IsStoring() ? WriteCompressed(data) : ReadCompressed(data);
}

// --- Stores ----------------------------------------------------------------------------------

bool CSerializeInterface::WriteBytes(const void* buffer, std::uint64_t length) {
    // Block lengths are 32-bit in every stored form; a longer one is refused, not cut short.
    if (length > kMax32 || (buffer == nullptr && length != 0))
        return SetStatus(false);
    std::span bytes(static_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(length));
    return SetStatus(usable() && StoreValue(ValueKind::Bytes, bytes));
}

bool CSerializeInterface::WriteStringWithLength(std::string_view value) {
    return SetStatus(usable() && StoreString(value, true));
}

bool CSerializeInterface::WriteString(std::string_view value) {
    return SetStatus(usable() && StoreString(value, false));
}

bool CSerializeInterface::WriteImage(const CSerializableImage& image, int formatKind,
                                     const std::string& format) {
    CKWXOleStreamFile stream;
    if (!usable() || !image.SaveToStream(stream, formatKind, format))
        return SetStatus(false);
    return SetStatus(StoreStream(stream.Bytes()));
}

bool CSerializeInterface::WriteFile(CFile& file) {
    if (!usable())
        return SetStatus(false);
    std::uint64_t position = file.GetPosition();
    std::vector<std::uint8_t> bytes;
    bool read = file.SeekTo(0) && file.GetLength() <= kMax32;
    if (read) {
        bytes.resize(static_cast<std::size_t>(file.GetLength()));
        read = file.ReadExact(bytes.data(), bytes.size());
    }
    file.SeekTo(position);
    return SetStatus(read && StoreStream(bytes));
}

bool CSerializeInterface::WriteCompressed(std::span<const std::uint8_t> data) {
    if (!usable())
        return SetStatus(false);
    return SetStatus(StoreCompressedMember(lumenreel::compressBlob(data)));
}

// --- Loads -----------------------------------------------------------------------------------

bool CSerializeInterface::ReadBytes(void* buffer, std::uint64_t length) {
    if (length > kMax32 || (buffer == nullptr && length != 0))
        return SetStatus(false);
    std::span bytes(static_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(length));
    return SetStatus(usable() && LoadValue(ValueKind::Bytes, bytes));
}

std::string CSerializeInterface::ReadString() {
    std::string value;
    ReadStringWithLength(value);
    return value;
}

bool CSerializeInterface::ReadStringWithLength(std::string& value) {
    return SetStatus(usable() && LoadString(value, true));
}

bool CSerializeInterface::ReadString(std::string& value) {
    return SetStatus(usable() && LoadString(value, false));
}

bool CSerializeInterface::ReadImage(CSerializableImage& image) {
    std::vector<std::uint8_t> bytes;
    // An image cannot load from nothing, so an empty stream is a failure.
    if (!usable() || !LoadStream(bytes) || bytes.empty())
        return SetStatus(false);
    CKWXOleStreamFile stream(bytes);
    return SetStatus(image.LoadFromStream(stream));
}

std::vector<std::uint8_t> CSerializeInterface::ReadCompressed() {
    std::vector<std::uint8_t> data;
    ReadCompressed(data);
    return data;
}

bool CSerializeInterface::ReadCompressed(std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> member;
    if (!usable() || !LoadCompressedMember(member))
        return SetStatus(false);
    auto inflated = lumenreel::decompressBlob(member, m_compressedLimit);
    if (!inflated)
        return SetStatus(false);
    data = std::move(*inflated);
    return SetStatus(true);
}

std::vector<std::uint8_t> CSerializeInterface::ReadBlock() {
    std::vector<std::uint8_t> bytes;
    SetStatus(usable() && LoadStream(bytes));
    return bytes;
}

bool CSerializeInterface::ReadFile(CFile& file) {
    std::vector<std::uint8_t> bytes;
    if (!usable() || !LoadStream(bytes))
        return SetStatus(false);
    return SetStatus(file.Write(bytes.data(), bytes.size()));
}

// --- Whole-file operations -------------------------------------------------------------------

void CSerializeInterface::Flush() {
    m_file.Flush();
}

std::uint64_t CSerializeInterface::GetLength() {
    Flush();
    return m_file.GetLength();
}

std::vector<std::uint8_t> CSerializeInterface::CopyAll(bool load) {
    std::uint64_t length = GetLength();
    if (length > std::numeric_limits<std::size_t>::max())
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (load) {
        std::uint64_t position = m_file.GetPosition();
        if (!m_file.SeekTo(0) || !m_file.ReadExact(bytes.data(), bytes.size()))
            bytes.clear();
        m_file.SeekTo(position);
    }
    return bytes;
}

void CSerializeInterface::Close() {
    if (m_closed)
        return;
    Flush();
    m_closed = true;
}

bool CSerializeInterface::WriteChars(std::string_view text) {
    return m_file.Write(text.data(), text.size());
}

bool CSerializeInterface::WriteRaw(const void* buffer, std::size_t length) {
    return m_file.Write(buffer, length);
}

bool CSerializeInterface::ReadRaw(void* buffer, std::size_t length) {
    return readWhole(m_file, std::span(static_cast<std::uint8_t*>(buffer), length));
}

// --- The plain stream form -------------------------------------------------------------------

bool CSerializeInterface::StoreValue(ValueKind, std::span<const std::uint8_t> bytes) {
    return m_file.Write(bytes.data(), bytes.size());
}

bool CSerializeInterface::LoadValue(ValueKind, std::span<std::uint8_t> bytes) {
    return readWhole(m_file, bytes);
}

bool CSerializeInterface::StoreString(std::string_view value, bool withLength) {
    std::vector<std::uint8_t> form;
    lumenreel::appendArchiveString(form, value);
    return withLength ? writeSized(m_file, form) : m_file.Write(form.data(), form.size());
}

bool CSerializeInterface::LoadString(std::string& value, bool withLength) {
    std::uint64_t start = m_file.GetPosition();
    std::optional<std::string> read;
    if (withLength) {
        std::vector<std::uint8_t> form;
        if (readSized(m_file, form)) {
            lumenreel::ByteReader reader(form);
            read = lumenreel::readArchiveString(reader);
        }
    } else {
        read = lumenreel::readArchiveString(m_file);
    }
    if (!read) {
        m_file.SeekTo(start);
        return false;
    }
    value = std::move(*read);
    return true;
}

bool CSerializeInterface::StoreStream(std::span<const std::uint8_t> bytes) {
    return writeSized(m_file, bytes);
}

bool CSerializeInterface::LoadStream(std::vector<std::uint8_t>& bytes) {
    return readSized(m_file, bytes);
}

bool CSerializeInterface::StoreCompressedMember(std::span<const std::uint8_t> member) {
    return writeSized(m_file, member);
}

bool CSerializeInterface::LoadCompressedMember(std::vector<std::uint8_t>& member) {
    return readSized(m_file, member);
}
