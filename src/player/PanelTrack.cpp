#include <algorithm>

#include "images/PixelBlit.h"
#include "player/NavigateInterface.h"
#include "player/PanelNavigateDialog.h"
#include "player/TimeText.h"

namespace {

using lumenreel::Rect;

// Between the frame text and what lies either side of it, in skin pixels.
constexpr int kTextGap = 6;
constexpr int kFrameTextHeight = 15;

}  // namespace

Rect CPlayerNavigateDialog::TrackHitRect() const {
    const Rect track = TrackRect();
    const int left = m_layout.startPointer.x;
    const int reach = std::max(static_cast<int>(track.width()), 0) + m_pointer.width();
    return {left, track.top, left + reach, track.bottom};
}

int CPlayerNavigateDialog::PixelAtTime(float t) const {
    const float d = m_transport ? m_transport->GetDuration() : 0.0f;
    const float share = d > 0 ? std::clamp(t / d, 0.0f, 1.0f) : 0.0f;
    const int trackWidth = std::max(static_cast<int>(TrackRect().width()), 0);
    return m_layout.startPointer.x + static_cast<int>(static_cast<float>(trackWidth) * share) +
           m_pointer.width() / 2;
}

int CPlayerNavigateDialog::pointerOffsetUnder(int mouseX) const {
    const int trackWidth = std::max(static_cast<int>(TrackRect().width()), 0);
    return std::clamp(mouseX - m_pointer.width() / 2 - m_layout.startPointer.x, 0, trackWidth);
}

std::optional<float> CPlayerNavigateDialog::HoverTime() const {
    if (!m_transport || !m_transport->HasMovie())
        return std::nullopt;
    if (m_dragging)
        return m_dragTime;
    if (!m_trackHoverX)
        return std::nullopt;
    return std::max(0.0f,
                    TimeAtPixel(pointerOffsetUnder(*m_trackHoverX) + m_layout.startPointer.x));
}

// Shown at once, unlike a button's: the time follows the mouse.
std::optional<CPlayerNavigateDialog::Tooltip> CPlayerNavigateDialog::hoverTimeTooltip() const {
    const std::optional<float> time = HoverTime();
    if (!time)
        return std::nullopt;
    const int x = PixelAtTime(*time);
    const Rect track = TrackRect();
    return Tooltip{lumenreel::formatClock(*time, m_transport->GetDuration() >= 3600.0f),
                   {x, track.top, x + 1, track.bottom}};
}

void CPlayerNavigateDialog::drawTrackMarks() {
    if (!m_transport || !m_transport->HasMovie() || m_transport->GetDuration() <= 0)
        return;
    const Rect track = TrackRect();
    const int middle = static_cast<int>(track.top + track.height() / 2);
    const int start = PixelAtTime(0.0f);
    const int now = PixelAtTime(m_transport->GetTime());
    const int s = Scale();
    lumenreel::fillPixels(m_picture.view(), start, middle - s, now - start, 2 * s, kPlayedColour);
    const CDocImp& source = m_transport->GetSource();
    for (int i = 1; i < source.FrameCount(); ++i)
        lumenreel::fillPixels(m_picture.view(), PixelAtTime(source.FrameStartTime(i)),
                              middle - 2 * s, s, 4 * s, kChapterTickColour);
}

// The clocks fill the skin's time box; the frame goes to its left where the panel is wide
// enough, else into the box behind the clocks, else it is left out.
void CPlayerNavigateDialog::drawTimeText() {
    if (!m_transport || !m_transport->HasMovie())
        return;
    const lumenreel::PanelTimeText text =
        lumenreel::panelTimeText(m_transport->GetTime(), m_transport->GetDuration(),
                                 m_transport->GetCurrentFrame(), m_transport->GetFrameCount());
    const Rect box = TextRect();
    const int s = Scale();
    const int gap = kTextGap * s;
    const lumenreel::PanelTextStyle clockStyle{0xC8C8C8, 16 * s};
    const lumenreel::PanelTextStyle frameStyle{0xA0A0A0, kFrameTextHeight * s, false};
    const std::string label = text.frame.empty() ? "" : "frame " + text.frame;
    const lumenreel::Size labelSize = lumenreel::measureText(label, frameStyle);
    const int roomLeft = Button(kForward)->GetRect().right + gap;
    const int labelLeft = box.left - gap - labelSize.width;
    if (!label.empty() && labelLeft >= roomLeft) {
        lumenreel::drawCentredText(m_picture, box, text.clocks, clockStyle);
        lumenreel::drawCentredText(m_picture,
                                   {labelLeft, box.top, labelLeft + labelSize.width, box.bottom},
                                   label, frameStyle);
        return;
    }
    // A narrow panel: the frame behind the clocks in the box, smaller if it must be.
    const std::string combined = text.clocks + "  " + text.frame;
    for (const int pixelHeight : {16, 14}) {
        const lumenreel::PanelTextStyle style{0xC8C8C8, pixelHeight * s};
        if (!text.frame.empty() &&
            lumenreel::measureText(combined, style).width <= box.width() - 2 * gap) {
            lumenreel::drawCentredText(m_picture, box, combined, style);
            return;
        }
    }
    lumenreel::drawCentredText(m_picture, box, text.clocks, clockStyle);
}
