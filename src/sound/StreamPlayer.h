#pragma once

#include <memory>
#include <thread>

#include "sound/IPlayer.h"
#include "sound/OutputDevice.h"
#include "sound/StreamDecoder.h"

// Plays a compressed stream: the decoder runs on its own thread while the caller seeks, pauses
// and stops. Which decoder it is fixes the kind of stream.
class CStreamPlayer : public IPlayer {
public:
    explicit CStreamPlayer(std::unique_ptr<CStreamDecoder> decoder);
    ~CStreamPlayer() override;
    CStreamPlayer(const CStreamPlayer&) = delete;
    CStreamPlayer& operator=(const CStreamPlayer&) = delete;

    void SetData(const std::uint8_t* bytes, std::size_t size) override;
    void SetFile(std::unique_ptr<CFile> file) override;
    bool IsLoaded() override { return m_loaded; }
    void Play() override;
    bool IsPlaying() override { return m_decoder->IsRunning(); }
    void TogglePause() override;
    bool IsPaused() override;
    void Stop() override;
    float Length() override;
    bool Seek(float seconds) override;
    float Position() override { return static_cast<float>(m_decoder->HeardSeconds()); }

    CStreamDecoder& GetDecoder() const { return *m_decoder; }

private:
    void RequireLoaded() const;
    void OpenOrThrow();
    void JoinDecodeThread();

    // Set on construction; the decoder locks itself, so its decode thread shares it safely.
    const std::unique_ptr<CStreamDecoder> m_decoder;
    // Control thread only (the one calling these methods).
    bool m_loaded = false;
    std::thread m_decodeThread;
};

// The Ogg Vorbis soundtrack player.
class COggPlayer : public CStreamPlayer {
public:
    explicit COggPlayer(lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
};

// The MP3 soundtrack player.
class CMp3Player : public CStreamPlayer {
public:
    explicit CMp3Player(lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
};
