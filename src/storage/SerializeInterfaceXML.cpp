#include "storage/SerializeInterfaceXML.h"

#include <array>
#include <string_view>

#include "base/ByteOrder.h"
#include "base/CodePage.h"
#include "base/File.h"
#include "storage/Base64.h"
#include "storage/SerializeInterfaceXMLText.h"

namespace {

// Kept on strings that end in a space, whose last space a reader might otherwise trim.
constexpr std::string_view kTrailingSpaceMarker = "_TRSP#@";

// The part names of the composite values, in their stored order.
std::span<const char* const> partNames(lumenreel::ValueKind kind) {
    static constexpr std::array<const char*, 2> point = {"x", "y"};
    static constexpr std::array<const char*, 2> size = {"width", "height"};
    static constexpr std::array<const char*, 4> rect = {"left", "top", "right", "bottom"};
    switch (kind) {
        case lumenreel::ValueKind::Point:
            return point;
        case lumenreel::ValueKind::Size:
            return size;
        case lumenreel::ValueKind::Rect:
            return rect;
        default:
            return {};
    }
}

// Element names must be XML names, or the saved document could not be read back.
bool isElementName(std::string_view name) {
    auto startChar = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
    };
    if (name.empty() || !startChar(static_cast<unsigned char>(name[0])))
        return false;
    for (unsigned char c : name) {
        if (!startChar(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return true;
}

class FileWriter : public pugi::xml_writer {
public:
    explicit FileWriter(CFile& file) : m_file(file) {}
    void write(const void* data, size_t size) override { m_ok = m_file.Write(data, size) && m_ok; }
    bool ok() const { return m_ok; }

private:
    CFile& m_file;
    bool m_ok = true;
};

}  // namespace

CSerializeInterfaceXML::CSerializeInterfaceXML(CFile& file, int mode)
    : CSerializeInterface(file, mode) {
    if (!IsStoring()) {
        std::uint64_t position = file.GetPosition();
        std::vector<std::uint8_t> text(static_cast<std::size_t>(file.RemainingBytes()));
        bool read = file.ReadExact(text.data(), text.size());
        file.SeekTo(position);
        pugi::xml_parse_result parsed =
            read ? m_document.load_buffer(text.data(), text.size(),
                                          pugi::parse_default | pugi::parse_fragment)
                 : pugi::xml_parse_result{};
        // A document that does not parse is empty: every section is missing.
        if (!read || !parsed)
            m_document.reset();
    }
    m_sections.emplace_back(m_document);
}

CSerializeInterfaceXML::~CSerializeInterfaceXML() {
    CSerializeInterfaceXML::Close();
}

void CSerializeInterfaceXML::Close() {
    if (IsClosed())
        return;
    if (IsStoring()) {
        FileWriter writer(GetFile());
        m_document.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
        if (!writer.ok())
            SetStatus(false);
    }
    m_sections.resize(1);
    CSerializeInterface::Close();
}

bool CSerializeInterfaceXML::EnterSection(const std::string& name) {
    std::string element = lumenreel::ansiToUtf8(name);
    pugi::xml_node found;
    if (IsClosed()) {
        // nothing: a closed interface has no document to walk
    } else if (IsStoring()) {
        if (current().IsValid() && isElementName(element)) {
            found = current().Element().append_child(element.c_str());
        }
    } else {
        found = current().FindSection(element.c_str());
    }
    m_sections.emplace_back(found);
    return static_cast<bool>(found);
}

void CSerializeInterfaceXML::LeaveSection() {
    if (m_sections.size() > 1)
        m_sections.pop_back();
}

int CSerializeInterfaceXML::CountEntries() {
    return current().IsValid() ? current().CountChildren() : 0;
}

bool CSerializeInterfaceXML::storeText(const std::string& utf8) {
    std::string name = lumenreel::ansiToUtf8(GetKey());
    if (!current().IsValid() || !isElementName(name))
        return false;
    pugi::xml_node element = current().Element().append_child(name.c_str());
    return element && element.text().set(utf8.c_str());
}

pugi::xml_node CSerializeInterfaceXML::valueElement() {
    return current().FindValue(lumenreel::ansiToUtf8(GetKey()).c_str());
}

template <class Parts>
bool CSerializeInterfaceXML::inKeySection(Parts&& parts) {
    std::string key = GetKey();
    bool ok = EnterSection(key) && parts();
    LeaveSection();
    SetKey(key);
    return ok;
}

bool CSerializeInterfaceXML::StoreValue(ValueKind kind, std::span<const std::uint8_t> bytes) {
    if (kind == ValueKind::Bytes)
        return storeText(lumenreel::base64Encode(bytes));
    auto parts = partNames(kind);
    if (parts.empty())
        return storeText(lumenreel::scalarToXmlText(kind, bytes));
    return inKeySection([&] {
        bool ok = true;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            SetKey(parts[i]);
            ok = StoreValue(ValueKind::Int32, bytes.subspan(4 * i, 4)) && ok;
        }
        return ok;
    });
}

bool CSerializeInterfaceXML::LoadValue(ValueKind kind, std::span<std::uint8_t> bytes) {
    auto parts = partNames(kind);
    if (!parts.empty()) {
        return inKeySection([&] {
            bool ok = true;
            for (std::size_t i = 0; i < parts.size(); ++i) {
                SetKey(parts[i]);
                ok = LoadValue(ValueKind::Int32, bytes.subspan(4 * i, 4)) && ok;
            }
            return ok;
        });
    }
    if (!current().IsValid())
        return false;
    // A missing element keeps the value; it is not a failure in this form.
    pugi::xml_node element = valueElement();
    if (!element)
        return true;
    std::string_view text = element.text().get();
    if (kind != ValueKind::Bytes)
        return lumenreel::scalarFromXmlText(kind, text, bytes);
    // The block must fill the caller's buffer exactly: never more, never a stale tail.
    auto decoded = lumenreel::base64Decode(text);
    if (!decoded || decoded->size() != bytes.size())
        return false;
    std::copy(decoded->begin(), decoded->end(), bytes.begin());
    return true;
}

bool CSerializeInterfaceXML::StoreString(std::string_view value, bool) {
    std::string text = lumenreel::ansiToUtf8(value);
    if (!value.empty() && value.back() == ' ')
        text += kTrailingSpaceMarker;
    return storeText(text);
}

bool CSerializeInterfaceXML::LoadString(std::string& value, bool) {
    if (!current().IsValid())
        return false;
    pugi::xml_node element = valueElement();
    if (!element)
        return true;
    std::string_view text = element.text().get();
    if (text.ends_with(kTrailingSpaceMarker))
        text.remove_suffix(kTrailingSpaceMarker.size());
    value = lumenreel::utf8ToAnsi(text);
    return true;
}

bool CSerializeInterfaceXML::storeSized(const char* sizeKey, const char* dataKey,
                                        std::span<const std::uint8_t> bytes) {
    if (bytes.size() > 0x7FFFFFFF)
        return false;
    return inKeySection([&] {
        std::uint8_t size[4];
        lumenreel::storeLE(size, static_cast<std::int32_t>(bytes.size()));
        SetKey(sizeKey);
        bool ok = StoreValue(ValueKind::Int32, size);
        SetKey(dataKey);
        return StoreValue(ValueKind::Bytes, bytes) && ok;
    });
}

bool CSerializeInterfaceXML::loadSized(const char* sizeKey, const char* dataKey, bool dataRequired,
                                       std::vector<std::uint8_t>& bytes) {
    return inKeySection([&] {
        SetKey(dataKey);
        pugi::xml_node data = valueElement();
        if (!data)
            return !dataRequired;
        // Decoded from the text first, so a hostile size never drives an allocation.
        auto decoded = lumenreel::base64Decode(data.text().get());
        if (!decoded)
            return false;
        SetKey(sizeKey);
        if (pugi::xml_node size = valueElement()) {
            std::uint8_t stored[4];
            lumenreel::scalarFromXmlText(ValueKind::Int32, size.text().get(), stored);
            if (lumenreel::loadU32(stored) != decoded->size())
                return false;
        }
        bytes = std::move(*decoded);
        return true;
    });
}

bool CSerializeInterfaceXML::StoreStream(std::span<const std::uint8_t> bytes) {
    return storeSized("stream_size", "raw_data", bytes);
}

bool CSerializeInterfaceXML::LoadStream(std::vector<std::uint8_t>& bytes) {
    return loadSized("stream_size", "raw_data", false, bytes);
}

// "lenght" is the stored spelling.
bool CSerializeInterfaceXML::StoreCompressedMember(std::span<const std::uint8_t> member) {
    return storeSized("lenght", "gzip_data", member);
}

bool CSerializeInterfaceXML::LoadCompressedMember(std::vector<std::uint8_t>& member) {
    return loadSized("lenght", "gzip_data", true, member);
}
