#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/InPt.h"
#include "sound/IPlayer.h"
#include "sound/OutputDevice.h"
#include "sound/SoundResource.h"

// A compressed soundtrack kept as its encoded bytes and played by a streaming player. Player
// failures never leave the resource: the movie then plays on without sound.
class CCompressedSoundResource : public CSoundResource {
public:
    void Serialize(CSerializeInterface& archive) override;
    void Play(float from, float to) override;
    bool IsPlaying() override;
    void Stop() override;
    float Duration() override;
    bool IsEmpty() override { return m_data.empty(); }
    void Pause(bool flag) override;
    float Position() override { return m_player ? m_player->Position() : 0.0f; }
    void SetData(std::vector<std::uint8_t> data,
                 const lumenreel::WaveFormat* format = nullptr) override;

    std::uint32_t DataSize() const;
    const std::vector<std::uint8_t>& GetData() const { return m_data; }
    IPlayer* GetPlayer() const { return m_player.get(); }

protected:
    explicit CCompressedSoundResource(std::unique_ptr<IPlayer> player);

private:
    // Only the thread that plays the movie; the player copies the bytes it decodes and runs its
    // own thread behind its own lock.
    InPt<IPlayer> m_player;
    std::vector<std::uint8_t> m_data;
};

class COggSoundResource : public CCompressedSoundResource {
public:
    static const Guid kClassId;
    explicit COggSoundResource(
        lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
    Guid GetClassId() const override { return kClassId; }
};

class CMp3SoundResource : public CCompressedSoundResource {
public:
    static const Guid kClassId;
    explicit CMp3SoundResource(
        lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
    Guid GetClassId() const override { return kClassId; }
};
