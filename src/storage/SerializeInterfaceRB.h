#pragma once

#include <optional>
#include <vector>

#include "storage/RecursiveBinaryFile.h"
#include "storage/SerializeInterface.h"

// The keyed form of the serialization interface on a recursive binary container: every section
// is a key with children, every value a key with one data block, so loading looks values up by
// name and their order does not matter. A container that fails to open shows as failing section
// and value operations.
class CSerializeInterfaceRB : public CSerializeInterface {
public:
    static constexpr Guid kKeyedFormatId =
        Guid::fromString("{FEF83452-6EFE-4D88-A710-0ACD15DB9401}");

    // Opens the container at the file's current position: for reading when loading, for
    // writing when storing.
    CSerializeInterfaceRB(CFile& file, int mode);
    ~CSerializeInterfaceRB() override;

    std::uint64_t GetPosition() override { return 0; }
    bool SeekTo(std::uint64_t) override { return false; }
    Guid GetFormatId() const override { return kKeyedFormatId; }

    bool EnterSection(const std::string& name) override;
    // Leaves the section entered last; the status becomes whether that worked.
    void LeaveSection() override;
    // Number of keys in the current section.
    int CountEntries() override;
    bool ExchangeSectionKeys(std::vector<StoredKey>& keys) override;
    void Flush() override {}
    // Closes the container first, which writes its index when storing.
    void Close() override;

    bool IsContainerOpen() const { return m_container.IsOpen(); }

protected:
    bool StoreValue(ValueKind kind, std::span<const std::uint8_t> bytes) override;
    bool LoadValue(ValueKind kind, std::span<std::uint8_t> bytes) override;
    bool StoreString(std::string_view value, bool withLength) override;
    bool LoadString(std::string& value, bool withLength) override;
    bool StoreStream(std::span<const std::uint8_t> bytes) override;
    bool LoadStream(std::vector<std::uint8_t>& bytes) override;
    bool StoreCompressedMember(std::span<const std::uint8_t> member) override;
    bool LoadCompressedMember(std::vector<std::uint8_t>& member) override;

private:
    // The common worker of every value: one key named by the current key, holding the bytes.
    // Storing fails when the section already has a key of that name.
    bool StoreKeyedBytes(std::span<const std::uint8_t> bytes);
    // Loading fails unless the key holds exactly bytes.size() bytes (so never for size 0).
    bool LoadKeyedBytes(std::span<std::uint8_t> bytes);
    // The whole data of the current key (empty for a key without data); nothing when missing.
    std::optional<std::vector<std::uint8_t>> LoadKeyData();
    bool LoadKeysBelow(std::vector<StoredKey>& keys);
    bool StoreMissingKeys(const std::vector<StoredKey>& keys);

    CRecursiveBinaryFile m_container;
    // One entry per entered section: whether entering it worked (and so moved the container).
    std::vector<bool> m_sections;
};
