#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/File.h"

// A streaming player of one compressed soundtrack. Failures are thrown as IPlayerException;
// the sound resources that own players catch them.
class IPlayer {
public:
    class IPlayerException {
    public:
        explicit IPlayerException(bool flag = false) : m_flag(flag) {}
        bool GetFlag() const { return m_flag; }

    private:
        bool m_flag;
    };

    virtual ~IPlayer() = default;

    // Loads the encoded bytes (copied); throws when already loaded or the data does not open.
    virtual void SetData(const std::uint8_t* bytes, std::size_t size) = 0;
    virtual void SetFile(std::unique_ptr<CFile> file) = 0;
    virtual bool IsLoaded() = 0;
    // Starts playing at the stream's current position; throws when not loaded or playing.
    virtual void Play() = 0;
    // True while decoding; the last buffers may still be sounding after it turns false.
    virtual bool IsPlaying() = 0;
    virtual void TogglePause() = 0;
    virtual bool IsPaused() = 0;
    virtual void Stop() = 0;
    virtual float Length() = 0;
    virtual bool Seek(float seconds) = 0;
    // The stream's time of the sound being heard now.
    virtual float Position() = 0;
};
