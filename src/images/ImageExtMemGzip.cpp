#include "images/ImageExtMemGzip.h"

#include "images/ImageExt.h"
#include "storage/GzipCompression.h"
#include "storage/SerializeInterface.h"

CImageExtMemGzip::CImageExtMemGzip() = default;
CImageExtMemGzip::~CImageExtMemGzip() = default;

void CImageExtMemGzip::storeRows(std::vector<std::uint8_t> rows) {
    GzipMemWriter writer(std::span<const std::uint8_t>(rows), GzipMemWriter::kFastLevel);
    m_compressed = writer.IsComplete() ? writer.Detach() : std::vector<std::uint8_t>{};
}

bool CImageExtMemGzip::readRows(
    const std::function<void(std::span<const std::uint8_t>)>& reader) const {
    const std::size_t expected = imageBytes();
    // One byte over the expected size is enough to tell a member that inflates to more.
    GzipMemReader inflated(m_compressed, expected + 1);
    if (inflated.IsTransparent() || inflated.IsBad() || inflated.GetSize() != expected)
        return false;
    reader(inflated.Bytes());
    return true;
}

void CImageExtMemGzip::dropRows() {
    m_compressed = {};
}

bool CImageExtMemGzip::serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("MEM_EX_GZIP"))
        return false;
    std::uint16_t w = static_cast<std::uint16_t>(width());
    std::uint16_t h = static_cast<std::uint16_t>(height());
    std::uint8_t bits = static_cast<std::uint8_t>(bpp());
    std::uint32_t size = static_cast<std::uint32_t>(m_compressed.size());
    archive.SetKey("width");
    archive.ExchangeInt16(w);
    archive.SetKey("height");
    archive.ExchangeInt16(h);
    archive.SetKey("bpp");
    archive.ExchangeInt8(bits);
    archive.SetKey("size_of_image_data");
    archive.ExchangeInt32A(size);
    bool ok = archive.GetStatus();
    if (archive.IsStoring()) {
        if (ok && size != 0) {
            archive.SetKey("gzipped_data");
            ok = archive.WriteBytes(m_compressed.data(), m_compressed.size());
        }
        archive.LeaveSection();
        return ok;
    }
    std::vector<std::uint8_t> member;
    // A stored length can never exceed the stream it is stored in.
    if (ok && size != 0) {
        ok = size <= archive.GetLength();
        if (ok) {
            member.resize(size);
            archive.SetKey("gzipped_data");
            ok = archive.ReadBytes(member.data(), member.size());
        }
    }
    clear();
    if (ok && size != 0 && acceptable(w, h, bits)) {
        setShape(w, h, bits);
        m_compressed = std::move(member);
        ok = readRows([](std::span<const std::uint8_t>) {});
        if (!ok)
            clear();
    }
    archive.LeaveSection();
    return ok;
}
