#include "sound/SoundStorage.h"
#include "sound/WaveSoundResource.h"
#include "storage/GzipCompression.h"
#include "storage/SerializeInterface.h"

// The "SOUND_RESOURCE" section of a wave resource: the size, the data (gzip-compressed when
// stored, raw accepted when loading) and the 18-byte format record.

std::vector<std::uint8_t> CWaveSoundResource::LoadData(CSerializeInterface& archive,
                                                       std::uint32_t size) {
    std::vector<std::uint8_t> data;
    if (archive.EnterSection("GZIP_DATA")) {
        std::uint32_t packedSize = 0;
        archive.SetKey("gzip_size");
        archive.ExchangeInt32A(packedSize);
        std::vector<std::uint8_t> packed = lumenreel::loadBlock(archive, "gzip_data", packedSize);
        if (!packed.empty()) {
            // Exactly the announced size or nothing: a short or long result means damage.
            GzipMemReader reader(packed, size);
            if (!reader.IsTransparent() && !reader.IsBad() && !reader.IsTruncated() &&
                reader.GetSize() == size) {
                data = reader.Detach();
            }
        }
        archive.LeaveSection();
        return data;
    }
    archive.LeaveSection();
    if (archive.EnterSection("RAW_DATA"))
        data = lumenreel::loadBlock(archive, "raw_data", size);
    archive.LeaveSection();
    return data;
}

void CWaveSoundResource::Serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("SOUND_RESOURCE"))
        return;
    lumenreel::exchangeClassWord(archive, kClassId);
    std::uint32_t size = archive.IsStoring() ? DataSize() : 0;
    archive.SetKey("buffer_size");
    archive.ExchangeInt32A(size);
    if (archive.IsStoring()) {
        if (size != 0) {
            archive.EnterSection("GZIP_DATA");
            GzipMemWriter packed(m_data);
            auto packedSize = static_cast<std::uint32_t>(packed.GetSize());
            archive.SetKey("gzip_size");
            archive.ExchangeInt32A(packedSize);
            archive.SetKey("gzip_data");
            archive.WriteBytes(packed.GetBuffer(), packed.GetSize());
            archive.LeaveSection();
            auto record = m_format.toRecord();
            archive.SetKey("info");
            archive.ExchangeBytes(record.data(), record.size());
        }
    } else {
        CloseDevice();
        m_format = {};
        std::vector<std::uint8_t> data;
        if (size != 0) {
            data = LoadData(archive, size);
            std::array<std::uint8_t, lumenreel::WaveFormat::kRecordSize> record{};
            archive.SetKey("info");
            if (archive.ExchangeBytes(record.data(), record.size())) {
                m_format = lumenreel::WaveFormat::fromRecord(record);
            } else {
                // Data without its format could not be played or edited correctly.
                data.clear();
            }
        }
        if (data.empty())
            m_format = {};
        m_data = std::move(data);
        UpdateLevels();
    }
    archive.LeaveSection();
}
