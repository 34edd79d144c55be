#include <algorithm>
#include <cmath>

#include "player/PlayerView.h"

namespace {

// The moment a frame starts still shows the frame before it, so a chapter is entered just after.
constexpr float kChapterLandingSeconds = 0.001f;

}  // namespace

void CZCPlayerView::OnKeyDown(Key key) {
    CZCPlayerView_navigateInterface& transport = m_transport;
    switch (key) {
        case Key::Space:
            transport.TogglePlay();
            break;
        case Key::F2:
        case Key::Quit:
            if (m_host)
                m_host->Close();
            break;
        case Key::F12:
        case Key::FullScreen:
            ToggleFullScreen();
            break;
        case Key::Escape:
            SetFullScreen(false);
            break;
        case Key::Left:
        case Key::Right:
            SeekTo(transport.GetTime() +
                   (key == Key::Right ? kShortSeekSeconds : -kShortSeekSeconds));
            break;
        case Key::Up:
        case Key::Down:
            SeekTo(transport.GetTime() + (key == Key::Up ? kLongSeekSeconds : -kLongSeekSeconds));
            break;
        case Key::FrameForward:
        case Key::FrameBack:
            if (!HasMovie())
                break;
            // Stepping holds the movie still where the step lands, as a paused movie.
            if (!transport.IsPlaying())
                transport.Play();
            transport.Pause();
            SeekTo(transport.GetTime() +
                   (key == Key::FrameForward ? kFrameStepSeconds : -kFrameStepSeconds));
            break;
        case Key::Home:
            SeekTo(0.0f);
            break;
        case Key::End:
            SeekTo(transport.GetDuration());
            break;
        case Key::PageUp:
            SeekTo(PreviousChapterStart());
            break;
        case Key::PageDown:
            SeekTo(NextChapterStart());
            break;
        case Key::Loop:
            transport.SetLoop(!transport.IsLoop());
            break;
        default:
            break;
    }
}

void CZCPlayerView::OnWheel(int notches) {
    if (notches != 0)
        SeekTo(m_transport.GetTime() + static_cast<float>(notches) * kShortSeekSeconds);
}

void CZCPlayerView::SeekTo(float t) {
    if (!HasMovie())
        return;
    const float duration = std::max(0.0f, m_transport.GetDuration());
    if (!(t < duration)) {
        // With loop on the end itself would wrap to the start, so the last moment before it.
        m_transport.Seek(m_transport.IsLoop() ? std::nextafter(duration, 0.0f) : duration);
        m_transport.Pause();
        return;
    }
    m_transport.Seek(std::max(0.0f, t));
}

float CZCPlayerView::PreviousChapterStart() const {
    const float time = m_transport.GetTime();
    const int count = HasMovie() ? source().FrameCount() : 0;
    int current = 0;
    for (int i = 1; i < count && source().FrameStartTime(i) <= time; ++i)
        current = i;
    const float start = source().FrameStartTime(current);
    if (current == 0 || time - start > kChapterRestartSeconds)
        return start + kChapterLandingSeconds;
    return source().FrameStartTime(current - 1) + kChapterLandingSeconds;
}

float CZCPlayerView::NextChapterStart() const {
    const float time = m_transport.GetTime();
    const int count = HasMovie() ? source().FrameCount() : 0;
    for (int i = 1; i < count; ++i)
        if (const float start = source().FrameStartTime(i); start > time + kFrameStepSeconds / 2)
            return start + kChapterLandingSeconds;
    return m_transport.GetDuration();
}
