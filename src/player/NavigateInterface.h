#pragma once

#include <cstdint>
#include <memory>

#include "base/InPt.h"
#include "player/DocImp.h"
#include "player/TickClock.h"

namespace lumenreel {

// Told of what the transport asks of the view around it.
class TransportListener {
public:
    virtual ~TransportListener() = default;
    virtual void FullScreenRequested(bool flag) = 0;
    // At the end of Stop, so the panel can reset itself.
    virtual void Stopped() = 0;
};

}  // namespace lumenreel

// The transport of the player view: position, play and pause, steps, looping, scrubbing and
// seeking, with the deferred sound restart after a seek. Time is in seconds.
class CZCPlayerView_navigateInterface {
public:
    static constexpr std::uint32_t kDefaultPanelColour = 0x808080;
    // The sound waits this long after the last seek step, so dragging does not stutter.
    static constexpr std::uint32_t kSoundRestartDelayMs = 300;

    // The source defaults to one playing through the machine's audio output.
    CZCPlayerView_navigateInterface(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source);
    ~CZCPlayerView_navigateInterface();

    // The listener is not owned; without one, full screen requests and stops go unheard.
    void SetListener(lumenreel::TransportListener* listener) { m_listener = listener; }

    void Play();
    void Stop();
    void Pause();
    void StepBack() { Seek(time - GetStep()); }
    void StepForward() { Seek(time + GetStep()); }
    void SetLoop(bool flag) { loop = flag; }
    // Only a recording controller would act on this; the player has none.
    void SetRecord(bool /*flag*/) {}
    void SetFullScreen(bool flag);
    bool IsLoop() const { return loop; }
    bool IsScrubbing() const { return scrubbing; }
    void SetScrubbing(bool flag);
    bool IsPlaying() const { return playing; }
    bool IsPaused() const { return paused; }
    void Seek(float t);
    float GetTime() const { return time; }
    int GetCurrentFrame() const;
    float GetDuration() const { return duration; }
    void SetDuration(float d);
    float GetStep() const { return 3.0f; }
    // Movie seconds per second of real time. The sound restarts where the movie is, so a device
    // that takes the new speed as it restarts stays with the pictures.
    void SetSpeed(float factor);
    float GetSpeed() const { return speed; }
    void Reset();
    bool HasMovie() const { return source->IsLoaded(); }
    int GetFrameCount() const { return source->FrameCount(); }
    CDocImp::Size GetMovieSize() const { return source->DisplaySize(); }
    void SetTime(float t);
    void DeferSoundRestart();
    void PollDeferredSound();

    // Space: play from the start when stopped, pause when playing, resume when paused (from the
    // start when paused at the end).
    void TogglePlay();
    std::uint32_t GetPanelColour() const { return panelColour; }
    std::uint32_t SoundRestartDue() const { return soundRestartAt; }
    CDocImp& GetSource() const { return *source; }

private:
    std::uint32_t Now() const { return m_clock.now(); }

    bool loop = true;
    bool paused = false;
    bool playing = false;
    bool scrubbing = false;
    float time = 0.0f;
    float duration = 0.0f;
    float speed = 1.0f;
    std::uint32_t panelColour = kDefaultPanelColour;
    std::uint32_t soundRestartAt = 0;  // 0: no restart due
    InPt<CDocImp> source;
    lumenreel::TickClock& m_clock;
    lumenreel::TransportListener* m_listener = nullptr;
};
