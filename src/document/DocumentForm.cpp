#include "document/DocumentForm.h"

#include <string>

#include "base/MemFile.h"
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel {

namespace {

bool holdsDocumentType(CSerializeInterface& archive) {
    if (!archive.EnterSection(kDocumentRootSection))
        return false;
    std::string type;
    archive.SetKey("document_type");
    const bool accepted = archive.ExchangeString(type) && type == kDocumentType;
    archive.LeaveSection();
    return accepted;
}

}  // namespace

std::optional<DocumentForm> documentFormOf(std::span<const std::uint8_t> bytes) {
    {
        CKWXOleStreamFile stream(bytes);
        CSerializeInterfaceRB keyed(stream, CSerializeInterface::modeLoad);
        if (keyed.IsContainerOpen() && holdsDocumentType(keyed))
            return DocumentForm::current;
    }
    CKWXOleStreamFile stream(bytes);
    CSerializeInterface plain(stream, CSerializeInterface::modeLoad);
    if (holdsDocumentType(plain))
        return DocumentForm::older;
    return std::nullopt;
}

}  // namespace lumenreel
