#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "player/DocImp.h"
#include "player/TickClock.h"

namespace lumenreel::test {

// A tick counter the test moves by hand.
class FakeTickClock : public TickClock {
public:
    explicit FakeTickClock(std::uint32_t start = 1000) : m_now(start) {}
    std::uint32_t now() override { return m_now; }
    void advance(std::uint32_t ms) { m_now += ms; }
    void set(std::uint32_t ms) { m_now = ms; }

private:
    std::uint32_t m_now;
};

// A movie source of chosen sizes and duration that records what the transport asks of the sound
// and fills every rendered moment with one colour.
class ScriptedSource : public CDocImp {
public:
    struct SoundCall {
        enum Kind { start, pause, resume } kind;
        float time = 0;  // for starts
    };

    bool loaded = true;
    int frames = 10;
    float duration = 10.0f;
    Size display{640, 480};
    Size bitmap{640, 480};
    std::uint32_t colour = 0xFF3366CC;
    std::vector<SoundCall> soundCalls;
    std::vector<float> renderedTimes;
    // Drawn over the colour at each render, when set.
    std::function<void(float t, CImageExt& target)> drawOver;

    bool IsLoaded() const override { return loaded; }
    int FrameCount() const override { return frames; }
    float Duration() const override { return duration; }
    Size DisplaySize() const override { return display; }
    Size BitmapSize() const override { return bitmap; }
    float frameLength = 1.0f;  // seconds, every frame alike
    int FrameAtTime(float t) const override { return static_cast<int>(t / frameLength); }
    float FrameStartTime(int i) const override { return static_cast<float>(i) * frameLength; }
    bool RenderAt(float t, CImageExt& target) override;
    void StartSound(float t, int) override { soundCalls.push_back({SoundCall::start, t}); }
    void PauseSound(bool flag) override {
        soundCalls.push_back({flag ? SoundCall::pause : SoundCall::resume, 0});
    }

    // The sound calls since the last look, then forgets them.
    std::vector<SoundCall> takeSoundCalls();
};

}  // namespace lumenreel::test
