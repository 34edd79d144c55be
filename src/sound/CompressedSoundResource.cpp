#include "sound/CompressedSoundResource.h"

#include <algorithm>
#include <limits>

#include "sound/SoundStorage.h"
#include "sound/StreamPlayer.h"
#include "storage/SerializeInterface.h"

const Guid COggSoundResource::kClassId =
    lumenreel::guidFromWords(0x7D4E9C2F, 0x43E09B54, 0x7672E899, 0x1E90BE11);
const Guid CMp3SoundResource::kClassId =
    lumenreel::guidFromWords(0xE45F1D60, 0x4EADB2C5, 0x87A6019C, 0xDFF55259);

CCompressedSoundResource::CCompressedSoundResource(std::unique_ptr<IPlayer> player)
    : m_player(std::move(player)) {}

COggSoundResource::COggSoundResource(lumenreel::OutputDeviceFactory devices)
    : CCompressedSoundResource(std::make_unique<COggPlayer>(std::move(devices))) {}

CMp3SoundResource::CMp3SoundResource(lumenreel::OutputDeviceFactory devices)
    : CCompressedSoundResource(std::make_unique<CMp3Player>(std::move(devices))) {}

std::uint32_t CCompressedSoundResource::DataSize() const {
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(m_data.size(), std::numeric_limits<std::uint32_t>::max()));
}

void CCompressedSoundResource::SetData(std::vector<std::uint8_t> data,
                                       const lumenreel::WaveFormat* /*format*/) {
    m_data = std::move(data);
    try {
        if (m_player)
            m_player->SetData(m_data.data(), m_data.size());
    } catch (const IPlayer::IPlayerException&) {
    }
}

void CCompressedSoundResource::Play(float from, float /*to*/) {
    if (!m_player)
        return;
    try {
        // Past its end the soundtrack is silent, as a wave soundtrack is.
        if (from >= m_player->Length()) {
            m_player->Stop();
            return;
        }
        m_player->Seek(from);
        if (m_player->IsPaused())
            m_player->TogglePause();
        if (!m_player->IsPlaying()) {
            // A run that ended around the seek may still rewind as it finishes: it is ended
            // first, so the new run starts where asked.
            m_player->Stop();
            m_player->Seek(from);
            m_player->Play();
        }
    } catch (const IPlayer::IPlayerException&) {
    }
}

bool CCompressedSoundResource::IsPlaying() {
    return m_player && m_player->IsPlaying();
}

void CCompressedSoundResource::Stop() {
    try {
        if (m_player)
            m_player->Stop();
    } catch (const IPlayer::IPlayerException&) {
    }
}

float CCompressedSoundResource::Duration() {
    try {
        return m_player ? m_player->Length() : 0.0f;
    } catch (const IPlayer::IPlayerException&) {
        return 0.0f;
    }
}

void CCompressedSoundResource::Pause(bool flag) {
    try {
        if (m_player && m_player->IsPaused() != flag)
            m_player->TogglePause();
    } catch (const IPlayer::IPlayerException&) {
    }
}

void CCompressedSoundResource::Serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("SOUND_RESOURCE"))
        return;
    lumenreel::exchangeClassWord(archive, GetClassId());
    std::uint32_t size = archive.IsStoring() ? DataSize() : 0;
    archive.SetKey("buffer_size");
    archive.ExchangeInt32A(size);
    if (archive.IsStoring()) {
        if (size != 0) {
            archive.SetKey("mp3_data");
            archive.WriteBytes(m_data.data(), size);
        }
    } else {
        std::vector<std::uint8_t> data = lumenreel::loadBlock(archive, "mp3_data", size);
        if (!data.empty())
            SetData(std::move(data));
    }
    archive.LeaveSection();
}
