#pragma once

#include "images/ImageExtMem.h"

// The same rows kept as one gzip member (deflate level 1): they are compressed after every change
// and re-created only while being copied out.
class CImageExtMemGzip : public CImageExtMem {
public:
    CImageExtMemGzip();
    ~CImageExtMemGzip() override;

    std::span<const std::uint8_t> compressed() const { return m_compressed; }

    // Stored form: section "MEM_EX_GZIP" with the size, the depth and the gzip member as it is.
    // Records of other depths, or whose member does not inflate to exactly the rows, load empty.
    bool serialize(CSerializeInterface& archive) override;

protected:
    void storeRows(std::vector<std::uint8_t> rows) override;
    bool readRows(const std::function<void(std::span<const std::uint8_t>)>& reader) const override;
    void dropRows() override;

private:
    std::vector<std::uint8_t> m_compressed;
};
