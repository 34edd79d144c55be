#pragma once

#include <cstdint>
#include <memory>

#include "base/InPt.h"
#include "player/DocImp.h"
#include "player/TickClock.h"

// The transport of the player view: position, play and pause, steps, looping, scrubbing and
// seeking, with the deferred sound restart after a seek. Time is in seconds.
class CZCPlayerView_navigateInterface {
public:
    static constexpr std::uint32_t kDefaultPanelColour = 0x808080;
    // The sound waits this long after the last seek step, so dragging does not stutter.
    static constexpr std::uint32_t kSoundRestartDelayMs = 300;

    virtual ~CZCPlayerView_navigateInterface();

    virtual void Play();
    virtual void Stop();
    virtual void Pause();
    virtual void StepBack() { Seek(time - GetStep()); }
    virtual void StepForward() { Seek(time + GetStep()); }
    virtual void SetLoop(bool flag) { loop = flag; }
    // Only a recording controller would act on this; the player has none.
    virtual void SetRecord(bool /*flag*/) {}
    virtual void SetFullScreen(bool flag) = 0;
    virtual bool IsLoop() const { return loop; }
    virtual bool IsScrubbing() const { return scrubbing; }
    virtual void SetScrubbing(bool flag);
    virtual bool IsPlaying() const { return playing; }
    virtual bool IsPaused() const { return paused; }
    virtual void Seek(float t);
    virtual float GetTime() const { return time; }
    virtual int GetCurrentFrame() const;
    virtual float GetDuration() const { return duration; }
    virtual void SetDuration(float d);
    virtual float GetStep() const { return 3.0f; }
    virtual void Reset();
    virtual bool HasMovie() const { return source->IsLoaded(); }
    virtual int GetFrameCount() const { return source->FrameCount(); }
    virtual CDocImp::Size GetMovieSize() const { return source->DisplaySize(); }
    virtual void SetTime(float t);
    virtual void DeferSoundRestart();
    virtual void PollDeferredSound();

    // Space: play from the start when stopped, pause when playing, resume when paused (from the
    // start when paused at the end).
    void TogglePlay();
    std::uint32_t GetPanelColour() const { return panelColour; }
    std::uint32_t SoundRestartDue() const { return soundRestartAt; }
    CDocImp& GetSource() const { return *source; }

protected:
    // The source defaults to one playing through the machine's audio output.
    CZCPlayerView_navigateInterface(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source);
    // Runs at the end of Stop (the panel resets itself).
    virtual void StopHook() {}
    std::uint32_t Now() const { return m_clock.now(); }

    bool loop = true;
    bool paused = false;
    bool playing = false;
    bool scrubbing = false;
    float time = 0.0f;
    float duration = 0.0f;
    std::uint32_t panelColour = kDefaultPanelColour;
    std::uint32_t soundRestartAt = 0;  // 0: no restart due
    InPt<CDocImp> source;

private:
    lumenreel::TickClock& m_clock;
};
