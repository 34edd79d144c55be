#include "player/PanelNavigateDialog.h"

#include <algorithm>
#include <utility>

#include "player/NavigateInterface.h"
#include "player/SkinDrawing.h"
#include "storage/TranslateInterface.h"

namespace {

using lumenreel::Box;
using lumenreel::Point;
using lumenreel::Rect;
using lumenreel::SkinLayout;

struct ButtonSpec {
    int id;
    bool isCheckBox;
    const char* images;
    Box SkinLayout::*layout;
    const char* tooltipKey;
    bool followsWidth;  // the right-hand group moves with the panel's extra width
};

constexpr ButtonSpec kButtons[] = {
    {CPlayerNavigateDialog::kPlay, true, "play", &SkinLayout::play,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_PLAY", false},
    {CPlayerNavigateDialog::kStop, true, "stop", &SkinLayout::stop,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_STOP", false},
    {CPlayerNavigateDialog::kPause, true, "pause", &SkinLayout::pause,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_PAUSE", false},
    {CPlayerNavigateDialog::kRewind, false, "rew", &SkinLayout::rew,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_REW", false},
    {CPlayerNavigateDialog::kForward, false, "ff", &SkinLayout::fwd,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_FWD", false},
    {CPlayerNavigateDialog::kLoop, true, "loop", &SkinLayout::loop,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_LOOP", true},
    {CPlayerNavigateDialog::kFit, true, "fit", &SkinLayout::fit, "ID_PLAYER_BUTTON_TOOLTIPNAME_FIT",
     true},
    {CPlayerNavigateDialog::kRecord, true, "rec", &SkinLayout::record,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_RECORD", true},
    {CPlayerNavigateDialog::kFullScreen, true, "full", &SkinLayout::fullscreen,
     "ID_PLAYER_BUTTON_TOOLTIPNAME_FULLSCREEN", true},
};

Rect placed(const Box& box, int shift) {
    return Box{box.x + shift, box.y, box.width, box.height}.rect();
}

}  // namespace

CPlayerNavigateDialog::CPlayerNavigateDialog() {
    m_buttons.reserve(std::size(kButtons));
    for (const ButtonSpec& spec : kButtons)
        m_buttons.emplace_back(spec.id, spec.isCheckBox);
}

const CTransparentButton* CPlayerNavigateDialog::Button(int id) const {
    for (const CTransparentButton& button : m_buttons)
        if (button.GetId() == id)
            return &button;
    return nullptr;
}

CTransparentButton* CPlayerNavigateDialog::Button(int id) {
    return const_cast<CTransparentButton*>(std::as_const(*this).Button(id));
}

void CPlayerNavigateDialog::LoadSkin() {
    const std::string folder = lumenreel::kSkinFolder;
    LoadSkinImage(m_bodyStart, folder + "Body_start.png", m_skin);
    LoadSkinImage(m_bodyEnd, folder + "Body_end.png", m_skin);
    LoadSkinImage(m_bodyTile, folder + "Body_resize.png", m_skin);
    LoadSkinImage(m_pointer, folder + "pointer.png", m_skin);
    m_body.destroy();
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i].LoadImages(kButtons[i].images, m_skin);
    m_layout = lumenreel::scaledLayout(ReadLayout(m_skin), Scale());
}

std::string CPlayerNavigateDialog::translate(const std::string& key) const {
    return m_translator ? m_translator->Translate(key) : key;
}

void CPlayerNavigateDialog::Create() {
    m_width = kDefaultWidth * Scale();
    m_height = kDefaultHeight * Scale();
    placeButtons();
    Button(kRecord)->SetVisible(m_layout.record != Box{});
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i].SetTooltip(translate(kButtons[i].tooltipKey));
    // This player keeps no settings, so Fit starts unchecked.
    Button(kFit)->SetCheck(false);
    Button(kLoop)->SetCheck(m_transport && m_transport->IsLoop());
    m_created = true;
}

void CPlayerNavigateDialog::placeButtons() {
    const int extra = Extra();
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i].SetRect(
            placed(m_layout.*kButtons[i].layout, kButtons[i].followsWidth ? extra : 0));
}

void CPlayerNavigateDialog::SetWidth(int width) {
    m_width = std::max(width, 1);
    placeButtons();
}

int CPlayerNavigateDialog::PanelWidth() const {
    return std::max(m_width, m_bodyStart.width() + m_bodyEnd.width());
}

int CPlayerNavigateDialog::Extra() const {
    return PanelWidth() - m_bodyStart.width() - m_bodyEnd.width();
}

Rect CPlayerNavigateDialog::TrackRect() const {
    const Box& slider = m_layout.slider;
    const lumenreel::Point& start = m_layout.startPointer;
    // The stored slider size counts from the pointer's start.
    return {slider.x, slider.y, slider.width + start.x + Extra() - m_pointer.width(),
            slider.height + start.y};
}

Rect CPlayerNavigateDialog::PointerRect() const {
    float t = m_transport ? m_transport->GetTime() : 0.0f;
    float d = m_transport ? m_transport->GetDuration() : 0.0f;
    if (t >= d)
        t = d;
    if (d <= 0)
        d = 1;
    const int trackWidth = TrackRect().width();
    const int x = static_cast<int>(static_cast<float>(trackWidth) * t / d);
    const lumenreel::Point& start = m_layout.startPointer;
    return {start.x + x, start.y, start.x + x + m_pointer.width(), start.y + m_pointer.height()};
}

Rect CPlayerNavigateDialog::TextRect() const {
    return placed(m_layout.textArea, Extra());
}

float CPlayerNavigateDialog::TimeAtPixel(int x) const {
    const float d = m_transport ? m_transport->GetDuration() : 0.0f;
    int trackWidth = TrackRect().width();
    if (trackWidth <= 0)
        trackWidth = 1;
    return (d - 0.00001f) * static_cast<float>(x - m_layout.startPointer.x) /
           static_cast<float>(trackWidth);
}

void CPlayerNavigateDialog::Refresh() {
    if (m_transport) {
        // One of the three lights for the state that holds, none without a movie.
        const bool movie = m_transport->HasMovie();
        const bool playing = m_transport->IsPlaying();
        Button(kPlay)->SetCheck(movie && playing && !m_transport->IsPaused());
        Button(kPause)->SetCheck(movie && playing && m_transport->IsPaused());
        Button(kStop)->SetCheck(movie && !playing);
        // The loop key changes it too; the setting outlives the movie, its light does not.
        Button(kLoop)->SetCheck(movie && m_transport->IsLoop());
        if (m_dragging)
            m_transport->Seek(m_dragTime);
    }
    if (m_hoverButton != 0)
        ++m_hoverTicks;
}

void CPlayerNavigateDialog::SetFitChecked(bool flag) {
    Button(kFit)->SetCheck(flag);
}

bool CPlayerNavigateDialog::IsFitChecked() const {
    return Button(kFit)->GetCheck();
}

void CPlayerNavigateDialog::SetFullScreenChecked(bool flag, bool notify) {
    Button(kFullScreen)->SetCheck(flag);
    if (notify && m_transport)
        m_transport->SetFullScreen(flag);
}

void CPlayerNavigateDialog::SetRecordChecked(bool flag, bool notify) {
    CTransparentButton& record = *Button(kRecord);
    if (record.GetCheck() == flag)
        return;
    record.SetCheck(flag);
    if (notify && m_transport)
        m_transport->SetRecord(flag);
}

void CPlayerNavigateDialog::EnableSeeking(bool flag) {
    m_seekEnabled = flag;
    Button(kRewind)->EnableWindow(flag);
    Button(kForward)->EnableWindow(flag);
}

void CPlayerNavigateDialog::command(CTransparentButton& button) {
    if (m_transport) {
        switch (button.GetId()) {
            case kPlay:
                m_transport->Play();
                break;
            case kStop:
                m_transport->Stop();
                break;
            case kPause:
                if (m_transport->IsPaused())
                    m_transport->Play();
                else
                    m_transport->Pause();
                break;
            case kRewind:
                m_transport->StepBack();
                break;
            case kForward:
                m_transport->StepForward();
                break;
            case kLoop:
                // From the setting, not the light, which is out without a movie.
                m_transport->SetLoop(!m_transport->IsLoop());
                break;
            case kRecord:
                m_transport->SetRecord(button.GetCheck());
                break;
            case kFullScreen:
                SetFullScreenChecked(button.GetCheck(), true);
                break;
            default:
                break;  // Fit: the view reads the check itself
        }
    }
    if (m_listener)
        m_listener(button.GetId());
}

void CPlayerNavigateDialog::OnMouseMove(Point point) {
    int over = 0;
    for (CTransparentButton& button : m_buttons) {
        button.MouseMove(point);
        if (button.IsHover())
            over = button.GetId();
    }
    if (over != m_hoverButton) {
        m_hoverButton = over;
        m_hoverTicks = 0;
        m_tooltipSuppressed = false;
    }
    m_trackHoverX = TrackHitRect().contains(point) ? std::optional<int>(point.x) : std::nullopt;
    if (!m_dragging || !m_transport)
        return;
    const int trackWidth = static_cast<int>(std::max<std::int64_t>(TrackRect().width(), 0));
    const int x = std::clamp(m_dragPointerOffset + (point.x - m_dragStartMouseX), 0, trackWidth);
    m_dragTime = TimeAtPixel(x + m_layout.startPointer.x);
    m_transport->Seek(m_dragTime);
}

void CPlayerNavigateDialog::OnLButtonDown(Point point) {
    m_tooltipSuppressed = true;
    for (CTransparentButton& button : m_buttons)
        if (button.MouseDown(point))
            return;
    if (!m_transport || !m_seekEnabled)
        return;
    if (const Rect pointer = PointerRect(); pointer.contains(point)) {
        startDrag(pointer.left - m_layout.startPointer.x, point.x);
    } else if (TrackHitRect().contains(point) && m_transport->HasMovie()) {
        // A press beside the pointer jumps there and holds the pointer for dragging on.
        startDrag(pointerOffsetUnder(point.x), point.x);
        m_dragTime = TimeAtPixel(m_dragPointerOffset + m_layout.startPointer.x);
        m_transport->Seek(m_dragTime);
    }
}

void CPlayerNavigateDialog::startDrag(int pointerOffset, int mouseX) {
    m_dragPointerOffset = pointerOffset;
    m_dragStartMouseX = mouseX;
    m_dragging = true;
    m_savedScrubbing = m_transport->IsScrubbing();
    m_transport->SetScrubbing(true);
    m_dragTime = m_transport->GetTime();
}

void CPlayerNavigateDialog::OnLButtonUp(Point point) {
    for (CTransparentButton& button : m_buttons)
        if (button.MouseUp(point))
            command(button);
    if (m_dragging) {
        m_dragging = false;
        if (m_transport)
            m_transport->SetScrubbing(m_savedScrubbing);
    }
}

void CPlayerNavigateDialog::OnMouseLeave() {
    OnMouseMove({-1, -1});
}

void CPlayerNavigateDialog::OnKeyDown(Key key) {
    if (key == Key::Space && m_transport)
        m_transport->TogglePlay();
}

std::optional<CPlayerNavigateDialog::Tooltip> CPlayerNavigateDialog::CurrentTooltip() const {
    if (std::optional<Tooltip> time = hoverTimeTooltip())
        return time;
    if (m_hoverButton == 0 || m_tooltipSuppressed || m_hoverTicks < kTooltipDelayTicks)
        return std::nullopt;
    const CTransparentButton* button = Button(m_hoverButton);
    if (button->GetTooltip().empty())
        return std::nullopt;
    return Tooltip{button->GetTooltip(), button->GetRect()};
}

// The body changes only with the panel's size, so it is drawn once per size and copied after.
void CPlayerNavigateDialog::drawBody() {
    const int width = PanelWidth();
    if (!m_body.isNull() && m_body.width() == width && m_body.height() == m_height)
        return;
    m_body.destroy();
    if (m_bodyStart.isNull() || !m_body.create(width, m_height, 32))
        return;
    lumenreel::drawSkinImage(m_bodyStart, m_body, 0, 0);
    lumenreel::drawSkinImage(m_bodyEnd, m_body, width - m_bodyEnd.width(), 0);
    for (int x = m_bodyStart.width(); x < width - m_bodyEnd.width(); ++x)
        lumenreel::drawSkinImage(m_bodyTile, m_body, x, 0);
}

const CImageExt& CPlayerNavigateDialog::Picture() {
    placeButtons();
    drawBody();
    if (m_body.isNull() || !m_body.copyTo(m_picture)) {
        m_picture.destroy();
        return m_picture;
    }
    drawTrackMarks();
    const Rect pointer = PointerRect();
    lumenreel::drawSkinImage(m_pointer, m_picture, pointer.left, pointer.top, 0xFFFFFFu);
    drawTimeText();
    for (const CTransparentButton& button : m_buttons)
        button.Draw(m_picture);
    return m_picture;
}
