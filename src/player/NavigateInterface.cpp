#include "player/NavigateInterface.h"

#include <algorithm>
#include <cmath>

CZCPlayerView_navigateInterface::CZCPlayerView_navigateInterface(lumenreel::TickClock& clock,
                                                                 std::unique_ptr<CDocImp> src)
    : source(src ? std::move(src) : std::make_unique<CDocImp>()), m_clock(clock) {}

CZCPlayerView_navigateInterface::~CZCPlayerView_navigateInterface() = default;

void CZCPlayerView_navigateInterface::Play() {
    paused = false;
    playing = true;
    source->StartSound(time, 0);
}

void CZCPlayerView_navigateInterface::Stop() {
    time = 0;
    paused = false;
    playing = false;
    source->PauseSound(true);
    if (m_listener)
        m_listener->Stopped();
}

void CZCPlayerView_navigateInterface::SetFullScreen(bool flag) {
    if (m_listener)
        m_listener->FullScreenRequested(flag);
}

void CZCPlayerView_navigateInterface::Pause() {
    if (!playing)
        return;
    paused = true;
    source->PauseSound(true);
}

void CZCPlayerView_navigateInterface::SetScrubbing(bool flag) {
    scrubbing = flag;
    // A seek during the drag has a restart due: resuming now would replay the sound queued at the
    // old position until that restart, so the restart alone brings the sound back.
    if (flag)
        source->PauseSound(true);
    else if (playing && soundRestartAt == 0)
        source->PauseSound(paused);
}

void CZCPlayerView_navigateInterface::Seek(float t) {
    SetTime(t);
    DeferSoundRestart();
}

int CZCPlayerView_navigateInterface::GetCurrentFrame() const {
    return source->IsLoaded() ? source->FrameAtTime(time) : -1;
}

void CZCPlayerView_navigateInterface::SetDuration(float d) {
    duration = d;
    time = std::min(time, d);
    if (time < 0)
        time = 0;
}

void CZCPlayerView_navigateInterface::Reset() {
    time = duration = 0;
    soundRestartAt = 0;
    playing = paused = scrubbing = false;
    panelColour = kDefaultPanelColour;
    loop = true;  // no settings record could say otherwise
}

void CZCPlayerView_navigateInterface::SetTime(float t) {
    if (IsLoop()) {
        time = std::fmod(t, duration != 0 ? duration : 1.0f);
        // A step back across the start wraps to the end instead of leaving the movie.
        if (time < 0)
            time += duration;
        if (!(time >= 0))
            time = 0;
        return;
    }
    time = std::clamp(t, 0.0f, std::max(duration, 0.0f));
    if (std::isnan(t))
        time = 0;
    if (t > duration)
        Pause();
}

void CZCPlayerView_navigateInterface::SetSpeed(float factor) {
    if (factor == speed)
        return;
    speed = factor;
    if (playing && !paused && !scrubbing && soundRestartAt == 0)
        source->StartSound(time, 0);
}

void CZCPlayerView_navigateInterface::DeferSoundRestart() {
    soundRestartAt = Now() + kSoundRestartDelayMs;
    // 0 means "none", so a due time that lands on it moves on by a tick.
    if (soundRestartAt == 0)
        soundRestartAt = 1;
    source->PauseSound(true);
}

void CZCPlayerView_navigateInterface::PollDeferredSound() {
    if (paused)
        return;
    if (soundRestartAt != 0 && lumenreel::ticksBetween(soundRestartAt, Now()) > 0) {
        source->StartSound(time, 0);
        soundRestartAt = 0;
    }
}

void CZCPlayerView_navigateInterface::TogglePlay() {
    if (!playing) {
        Stop();
        Play();
    } else if (!paused) {
        Pause();
    } else {
        if (duration <= time)
            Stop();
        Play();
    }
}
