#include <vector>

#include "base/ByteOrder.h"
#include "base/File.h"
#include "images/BmpCodec.h"
#include "images/ImageExt.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"
#include "storage/SerializeInterface.h"

namespace {

bool writeAll(CFile& stream, const std::vector<std::uint8_t>& bytes) {
    return stream.Write(bytes.data(), bytes.size());
}

}  // namespace

bool CImageExt::savePng(CFile& stream) const {
    std::vector<std::uint8_t> bytes;
    return lumenreel::encodePng(*this, bytes) && writeAll(stream, bytes);
}

bool CImageExt::saveJpeg(CFile& stream, int quality) const {
    std::vector<std::uint8_t> bytes;
    return lumenreel::encodeJpeg(*this, quality, bytes) && writeAll(stream, bytes);
}

bool CImageExt::saveBmp(CFile& stream) const {
    std::vector<std::uint8_t> bytes;
    return lumenreel::encodeBmp(*this, bytes) && writeAll(stream, bytes);
}

bool CImageExt::archive(CFile& file, bool storing) {
    if (storing) {
        std::vector<std::uint8_t> png;
        if (!lumenreel::encodePng(*this, png))
            return false;
        std::uint8_t length[4];
        lumenreel::storeLE(length, static_cast<std::uint32_t>(png.size()));
        return file.Write(length, sizeof length) && writeAll(file, png);
    }
    std::uint8_t length[4];
    if (!file.ReadExact(length, sizeof length))
        return false;
    const std::uint32_t size = lumenreel::loadLE<std::uint32_t>(length);
    if (size > file.RemainingBytes())
        return false;
    std::vector<std::uint8_t> png(size);
    if (!file.ReadExact(png.data(), png.size()))
        return false;
    return loadFromBytes(png);
}

bool CImageExt::serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("IMAGEEXT_DATA"))
        return false;
    std::vector<std::uint8_t> png;
    bool ok = true;
    if (archive.IsStoring()) {
        ok = lumenreel::encodePng(*this, png);
        archive.SetKey("image_data_size");
        archive.WriteInt32A(static_cast<std::uint32_t>(png.size()));
        archive.SetKey("image_raw_data");
        archive.WriteBytes(png.data(), png.size());
        ok = ok && archive.GetStatus();
    } else {
        archive.SetKey("image_data_size");
        const std::uint32_t size = archive.ReadInt32A();
        // A stored length can never exceed the stream it is stored in.
        ok = archive.GetStatus() && size != 0 && size <= archive.GetLength();
        if (ok) {
            png.resize(size);
            archive.SetKey("image_raw_data");
            ok = archive.ReadBytes(png.data(), png.size()) && loadFromBytes(png);
        }
    }
    archive.LeaveSection();
    return ok;
}
