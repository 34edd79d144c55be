#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"
#include "base/Guid.h"
#include "storage/SerializableImage.h"
#include "storage/SerializeFixedValue.h"
#include "storage/StoredKey.h"

class CFile;

// The exchange-style interface through which persistent objects read and write themselves: the
// same code stores or loads depending on the mode. This class is also the plain backend, a
// sequential little-endian stream on a CFile in which sections and keys are ignored.
//
// Every value operation sets the status flag and returns it. A failed load (missing key, wrong
// size, end of the plain stream, malformed data) leaves the caller's variable unchanged.
class CSerializeInterface {
public:
    enum Mode : int { modeLoad = 1, modeStore = 2 };

    static constexpr Guid kPlainFormatId =
        Guid::fromString("{20EBF434-7405-4292-97D8-F04D05D78D4E}");

    // The file must outlive the interface; reading or writing starts at its current position.
    CSerializeInterface(CFile& file, int mode);
    virtual ~CSerializeInterface();
    CSerializeInterface(const CSerializeInterface&) = delete;
    CSerializeInterface& operator=(const CSerializeInterface&) = delete;

    // Position of the underlying file (keyed and XML forms: 0; seeking does nothing there).
    virtual std::uint64_t GetPosition();
    virtual bool SeekTo(std::uint64_t position);

    // Which of several same-named elements a look-up returns (XML form only).
    virtual void SetOccurrence(int index);
    virtual int GetOccurrence() const;

    virtual Guid GetFormatId() const { return kPlainFormatId; }

    virtual bool EnterSection(const std::string& name);
    virtual void LeaveSection();
    void SetKey(std::string_view name) { m_key = name; }
    const std::string& GetKey() const { return m_key; }
    // Number of entries in the current section (plain form: 0).
    virtual int CountEntries();
    int GetMode() const { return m_mode; }
    bool IsStoring() const { return m_mode == modeStore; }
    bool GetStatus() const { return m_status; }

    // Exchange operations: store in store mode, load otherwise; each returns the status flag.
    bool ExchangeImage(CSerializableImage& image, int formatKind, const std::string& format);
    bool ExchangeBytes(void* buffer, std::uint64_t length);
    bool ExchangeFile(CFile& file);
    bool ExchangeRect(lumenreel::Rect& value) { return exchangeFixed(value); }
    bool ExchangePoint(lumenreel::Point& value) { return exchangeFixed(value); }
    bool ExchangeSize(lumenreel::Size& value) { return exchangeFixed(value); }
    bool ExchangeStringWithLength(std::string& value);
    bool ExchangeString(std::string& value);
    bool ExchangeBool(bool& value) { return exchangeFixed(value); }
    bool ExchangeInt8(std::uint8_t& value) { return exchangeFixed(value); }
    bool ExchangeDouble(double& value) { return exchangeFixed(value); }
    bool ExchangeFloat(float& value) { return exchangeFixed(value); }
    bool ExchangeInt64A(std::uint64_t& value) { return exchangeFixed(value); }
    bool ExchangeInt64B(std::int64_t& value) { return exchangeFixed(value); }
    bool ExchangeInt32A(std::int32_t& value) { return exchangeFixed(value); }
    bool ExchangeInt32A(std::uint32_t& value) { return exchangeFixed(value); }
    bool ExchangeInt32B(std::int32_t& value) { return exchangeFixed(value); }
    bool ExchangeInt32B(std::uint32_t& value) { return exchangeFixed(value); }
    bool ExchangeInt16(std::int16_t& value) { return exchangeFixed(value); }
    bool ExchangeInt16(std::uint16_t& value) { return exchangeFixed(value); }
    // Store: compresses data into a gzip member. Load: replaces data with the decompressed bytes.
    bool ExchangeCompressed(std::vector<std::uint8_t>& data);
    // Load: every key of the current section with everything under it. Store: those of the keys
    // that the section does not hold yet (and under sections it holds, their missing keys), so
    // what was written by name before wins. Fails in forms that cannot list their keys.
    virtual bool ExchangeSectionKeys(std::vector<StoredKey>& keys);

    bool Exchange(lumenreel::Rect& value) { return ExchangeRect(value); }
    bool Exchange(lumenreel::Point& value) { return ExchangePoint(value); }
    bool Exchange(lumenreel::Size& value) { return ExchangeSize(value); }
    bool Exchange(bool& value) { return ExchangeBool(value); }
    bool Exchange(std::uint8_t& value) { return ExchangeInt8(value); }
    bool Exchange(double& value) { return ExchangeDouble(value); }
    bool Exchange(float& value) { return ExchangeFloat(value); }
    bool Exchange(std::uint64_t& value) { return ExchangeInt64A(value); }
    bool Exchange(std::int64_t& value) { return ExchangeInt64B(value); }
    bool Exchange(std::int32_t& value) { return ExchangeInt32A(value); }
    bool Exchange(std::uint32_t& value) { return ExchangeInt32A(value); }
    bool Exchange(std::int16_t& value) { return ExchangeInt16(value); }
    bool Exchange(std::uint16_t& value) { return ExchangeInt16(value); }

    // Store one value.
    bool WriteInt16(std::uint16_t value) { return writeFixed(value); }
    bool WriteInt32A(std::uint32_t value) { return writeFixed(value); }
    bool WriteInt64A(std::uint64_t value) { return writeFixed(value); }
    bool WriteInt32B(std::int32_t value) { return writeFixed(value); }
    bool WriteInt64B(std::int64_t value) { return writeFixed(value); }
    bool WriteFloat(float value) { return writeFixed(value); }
    bool WriteDouble(double value) { return writeFixed(value); }
    bool WriteInt8(std::uint8_t value) { return writeFixed(value); }
    bool WriteBytes(const void* buffer, std::uint64_t length);
    bool WriteBool(bool value) { return writeFixed(value); }
    bool WriteStringWithLength(std::string_view value);
    bool WriteString(std::string_view value);
    bool WriteSize(const lumenreel::Size& value) { return writeFixed(value); }
    bool WritePoint(const lumenreel::Point& value) { return writeFixed(value); }
    bool WriteRect(const lumenreel::Rect& value) { return writeFixed(value); }
    bool WriteImage(const CSerializableImage& image, int formatKind, const std::string& format);
    // Stores the whole file; its position is restored.
    bool WriteFile(CFile& file);
    bool WriteCompressed(std::span<const std::uint8_t> data);

    // Load one value. The value-returning forms give 0 (or an empty value) when the load fails;
    // only the status tells that apart from a stored 0.
    std::uint16_t ReadInt16() { return readFixed<std::uint16_t>(); }
    bool ReadInt16(std::uint16_t& value) { return readFixed(value); }
    bool ReadInt16(std::int16_t& value) { return readFixed(value); }
    std::uint32_t ReadInt32A() { return readFixed<std::uint32_t>(); }
    bool ReadInt32A(std::uint32_t& value) { return readFixed(value); }
    bool ReadInt32A(std::int32_t& value) { return readFixed(value); }
    std::uint64_t ReadInt64A() { return readFixed<std::uint64_t>(); }
    bool ReadInt64A(std::uint64_t& value) { return readFixed(value); }
    std::int32_t ReadInt32B() { return readFixed<std::int32_t>(); }
    bool ReadInt32B(std::int32_t& value) { return readFixed(value); }
    bool ReadInt32B(std::uint32_t& value) { return readFixed(value); }
    std::int64_t ReadInt64B() { return readFixed<std::int64_t>(); }
    bool ReadInt64B(std::int64_t& value) { return readFixed(value); }
    float ReadFloat() { return readFixed<float>(); }
    bool ReadFloat(float& value) { return readFixed(value); }
    double ReadDouble() { return readFixed<double>(); }
    bool ReadDouble(double& value) { return readFixed(value); }
    std::uint8_t ReadInt8() { return readFixed<std::uint8_t>(); }
    bool ReadInt8(std::uint8_t& value) { return readFixed(value); }
    bool ReadBytes(void* buffer, std::uint64_t length);
    bool ReadBool() { return readFixed<bool>(); }
    bool ReadBool(bool& value) { return readFixed(value); }
    // Reads the with-length string form (in the plain stream it differs from ReadString(value)).
    std::string ReadString();
    bool ReadStringWithLength(std::string& value);
    bool ReadString(std::string& value);
    lumenreel::Size ReadSize() { return readFixed<lumenreel::Size>(); }
    bool ReadSize(lumenreel::Size& value) { return readFixed(value); }
    lumenreel::Point ReadPoint() { return readFixed<lumenreel::Point>(); }
    bool ReadPoint(lumenreel::Point& value) { return readFixed(value); }
    lumenreel::Rect ReadRect() { return readFixed<lumenreel::Rect>(); }
    bool ReadRect(lumenreel::Rect& value) { return readFixed(value); }
    bool ReadImage(CSerializableImage& image);
    std::vector<std::uint8_t> ReadCompressed();
    bool ReadCompressed(std::vector<std::uint8_t>& data);
    // A length-prefixed block (the form files and images are stored in); empty when absent.
    std::vector<std::uint8_t> ReadBlock();
    // Writes the stored file contents at the file's current position.
    bool ReadFile(CFile& file);

    virtual void Flush();
    // Flushes, then the length of the underlying file.
    std::uint64_t GetLength();
    // GetLength() bytes; with load set, the whole underlying file (its position is restored).
    std::vector<std::uint8_t> CopyAll(bool load);
    // Flushes and ends the interface; later operations fail.
    virtual void Close();
    bool IsClosed() const { return m_closed; }

    // Bytes straight to or from the underlying file, whatever the form.
    bool WriteChars(std::string_view text);
    bool WriteRaw(const void* buffer, std::size_t length);
    bool ReadRaw(void* buffer, std::size_t length);
    CFile& GetFile() const { return m_file; }

    // Largest decompressed compressed blob accepted on load; larger ones fail.
    void SetCompressedLimit(std::uint64_t bytes) { m_compressedLimit = bytes; }

protected:
    using ValueKind = lumenreel::ValueKind;

    // The per-form workers every exchange above ends in. Values travel in their little-endian
    // stored layout. A load writes into its destination only when it succeeds, except that the
    // XML form may leave it untouched and still report success.
    virtual bool StoreValue(ValueKind kind, std::span<const std::uint8_t> bytes);
    virtual bool LoadValue(ValueKind kind, std::span<std::uint8_t> bytes);
    virtual bool StoreString(std::string_view value, bool withLength);
    virtual bool LoadString(std::string& value, bool withLength);
    // Length-prefixed streams: file contents and image objects.
    virtual bool StoreStream(std::span<const std::uint8_t> bytes);
    virtual bool LoadStream(std::vector<std::uint8_t>& bytes);
    // A gzip member as produced by the compression helper.
    virtual bool StoreCompressedMember(std::span<const std::uint8_t> member);
    virtual bool LoadCompressedMember(std::vector<std::uint8_t>& member);

    bool SetStatus(bool status) { return m_status = status; }
    void MarkClosed() { m_closed = true; }

private:
    template <class T>
    bool exchangeFixed(T& value) {
        return IsStoring() ? writeFixed(value) : readFixed(value);
    }
    template <class T>
    bool writeFixed(const T& value);
    template <class T>
    bool readFixed(T& value);
    template <class T>
    T readFixed() {
        T value{};
        readFixed(value);
        return value;
    }

    bool usable() const { return !m_closed; }

    CFile& m_file;
    int m_mode;
    std::string m_key;
    bool m_status = true;
    bool m_closed = false;
    std::uint64_t m_compressedLimit = std::uint64_t{1} << 30;
};

template <class T>
bool CSerializeInterface::writeFixed(const T& value) {
    using Layout = lumenreel::FixedValue<T>;
    auto bytes = Layout::encode(value);
    return SetStatus(usable() && StoreValue(Layout::kind, bytes));
}

template <class T>
bool CSerializeInterface::readFixed(T& value) {
    using Layout = lumenreel::FixedValue<T>;
    // Preset with the current value: a load that finds nothing leaves it as it is.
    auto bytes = Layout::encode(value);
    if (!SetStatus(usable() && LoadValue(Layout::kind, bytes)))
        return false;
    value = Layout::decode(bytes.data());
    return true;
}
