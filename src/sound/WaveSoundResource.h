#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sound/OutputDevice.h"
#include "sound/SoundResource.h"
#include "sound/WaveFormat.h"

// Uncompressed PCM with its wave format, played straight on the output device, with the editing
// operations that build a soundtrack. Times are seconds; offsets are bytes into the data.
class CWaveSoundResource : public CSoundResource {
public:
    static const Guid kClassId;

    // The data and its format as one record.
    struct SDataRecord {
        std::span<const std::uint8_t> data;
        lumenreel::WaveFormat format;
    };

    explicit CWaveSoundResource(
        lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
    ~CWaveSoundResource() override;
    CWaveSoundResource(const CWaveSoundResource&) = delete;
    CWaveSoundResource& operator=(const CWaveSoundResource&) = delete;

    void Serialize(CSerializeInterface& archive) override;
    void Play(float from, float to) override;
    bool IsPlaying() override;
    void Stop() override;
    float Duration() override { return DurationOfData(); }
    bool IsEmpty() override { return m_data.empty(); }
    void Pause(bool flag) override;
    Guid GetClassId() const override { return kClassId; }
    float Position() override;
    void SetData(std::vector<std::uint8_t> data,
                 const lumenreel::WaveFormat* format = nullptr) override;

    void CopyFrom(const CWaveSoundResource& other);
    void ExtractRange(CWaveSoundResource& target, float from, float to) const;
    // Joins the data of the compatible resources of the list, in the format of its first
    // non-empty one; the list may include this resource.
    void Concatenate(std::span<const CWaveSoundResource* const> list);
    SDataRecord GetDataRecord() const { return {m_data, m_format}; }
    bool InsertAt(const CWaveSoundResource& other, float t);
    bool InsertSilence(float t, float length);
    bool OverwriteAt(const CWaveSoundResource& other, float t);
    void DeleteRange(float from, float to);
    void SilenceRange(float from, float to);
    bool MakeSilence(float length, const lumenreel::WaveFormat& format);
    std::uint32_t DataSize() const;
    bool IsCompatible(const CWaveSoundResource& other) const;
    std::uint32_t GetMinLevel() const { return m_minLevel; }
    std::uint32_t GetMaxLevel() const { return m_maxLevel; }
    std::uint16_t GetBlockAlign() const { return m_data.empty() ? 0 : m_format.blockAlign; }
    bool GetPlayingSpan(float& from, float& to);
    std::uint32_t SampleFrames() const;
    bool IsSilent() const;
    // Describes data[offset, offset + length) as the buffer to hand to the device.
    bool PrepareBuffer(std::size_t offset, std::size_t length);
    void UnprepareBuffer();
    bool OpenDevice();
    void CloseDevice();
    std::uint32_t ByteOffset(float t) const;
    std::uint32_t AlignedOffset(float t) const;
    void UpdateLevels();
    std::uint8_t SilenceValue() const;
    void FillSilence(std::span<std::uint8_t> buffer) const;
    float OffsetToTime(std::uint64_t offset) const;

    const lumenreel::WaveFormat& GetFormat() const { return m_format; }
    const std::vector<std::uint8_t>& GetData() const { return m_data; }

private:
    float DurationOfData() const;
    // Replaces the data after an edit: the device lets go of the old bytes first.
    void ReplaceData(std::vector<std::uint8_t> data);
    std::vector<std::uint8_t> Silence(std::size_t length) const;
    std::vector<std::uint8_t> LoadData(CSerializeInterface& archive, std::uint32_t size);

    lumenreel::OutputDeviceFactory m_devices;
    std::vector<std::uint8_t> m_data;
    lumenreel::WaveFormat m_format;
    std::unique_ptr<lumenreel::OutputDevice> m_device;
    std::size_t m_headerStart = 0;
    std::size_t m_headerLength = 0;
    bool m_prepared = false;
    std::uint32_t m_minLevel = 0;
    std::uint32_t m_maxLevel = 0;
    bool m_started = false;
};
