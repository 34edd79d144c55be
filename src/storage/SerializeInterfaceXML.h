#pragma once

#include <pugixml.hpp>
#include <vector>

#include "storage/SerializeInterface.h"
#include "storage/SerializeInterfaceXMLNode.h"

// The XML form of the serialization interface: sections and keys are elements named after them,
// values are element text. Loading reads the file from its current position to its end as an XML
// fragment, so free text around the elements is tolerated; storing writes the document to the
// file when the interface is closed.
class CSerializeInterfaceXML : public CSerializeInterface {
public:
    static constexpr Guid kXmlFormatId = Guid::fromString("{A78E2816-BE09-4B27-8CC6-60A6F3F71C20}");

    CSerializeInterfaceXML(CFile& file, int mode);
    ~CSerializeInterfaceXML() override;

    std::uint64_t GetPosition() override { return 0; }
    bool SeekTo(std::uint64_t) override { return false; }
    void SetOccurrence(int index) override { current().SetOccurrence(index); }
    int GetOccurrence() const override { return m_sections.back().GetOccurrence(); }
    Guid GetFormatId() const override { return kXmlFormatId; }

    bool EnterSection(const std::string& name) override;
    void LeaveSection() override;
    // Number of child elements of the current section; afterwards EnterSection enters the child
    // at the occurrence index whatever its name, which is how callers enumerate a section.
    int CountEntries() override;
    void Close() override;

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
    CXMLArchiveNode& current() { return m_sections.back(); }
    bool storeText(const std::string& utf8);
    // The element of the current key under the current section; empty when there is none.
    pugi::xml_node valueElement();
    // Runs parts inside a section named by the current key, then restores key and section.
    template <class Parts>
    bool inKeySection(Parts&& parts);
    bool storeSized(const char* sizeKey, const char* dataKey, std::span<const std::uint8_t> bytes);
    bool loadSized(const char* sizeKey, const char* dataKey, bool dataRequired,
                   std::vector<std::uint8_t>& bytes);

    pugi::xml_document m_document;
    // The document itself at the bottom, then one entry per entered section.
    std::vector<CXMLArchiveNode> m_sections;
};
