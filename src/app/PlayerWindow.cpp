#include "app/PlayerWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/KeyHelp.h"
#include "images/PixelBlit.h"
#include "player/SkinFiles.h"
#include "player/TimeText.h"
#include "player/Tooltip.h"

namespace lumenreel {
namespace {

constexpr std::uint32_t kTooltipBorder = 0xFF505050;
constexpr std::uint32_t kTooltipFill = 0xFFF4F4F4;
constexpr std::uint32_t kTooltipText = 0x202020;

constexpr std::uint32_t kFramesPerSecondWindowMs = 1000;

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

Point offset(Point point, const Rect& rect) {
    return {point.x - rect.left, point.y - rect.top};
}

}  // namespace

PlayerWindow::PlayerWindow(TickClock& clock, OutputDeviceFactory devices)
    : m_clock(clock),
      m_view(clock, std::make_unique<CDocImp>(gainedDevices(
                        timeStretchedDevices(std::move(devices), m_speed), m_gain))) {}

void PlayerWindow::SetHost(PlayerHost& host) {
    m_host = &host;
    m_view.SetHost(&host);
    m_view.Frame().SetHost(&host);
}

void PlayerWindow::SetDeviceScale(int scale) {
    m_view.SetDeviceScale(scale);
    m_menu.SetScale(scale);
    m_fileList.SetScale(scale);
    m_shown.valid = false;
}

void PlayerWindow::SetSkin(CRBFileSystem* package, CTranslateInterface* translator) {
    m_view.LoadSkin(package, translator);
}

void PlayerWindow::SetClientSize(int width, int height) {
    m_view.SetClientSize(std::max(width, 1), std::max(height, 1));
    m_shown.valid = false;
}

void PlayerWindow::OnTimer() {
    expireOverlays();
    if (m_statisticsShown)
        overlaysChanged();
    m_view.OnTimer();
}

void PlayerWindow::SetMessage(std::vector<std::string> lines, bool timed) {
    m_message = std::move(lines);
    m_messageShownAt = timed ? std::optional<std::uint32_t>(m_clock.now()) : std::nullopt;
    overlaysChanged();
}

void PlayerWindow::ShowNotice(std::string text) {
    m_notice = std::move(text);
    m_noticeShownAt = m_clock.now();
    overlaysChanged();
}

void PlayerWindow::expireOverlays() {
    const std::uint32_t now = m_clock.now();
    if (m_messageShownAt &&
        ticksBetween(*m_messageShownAt, now) >= static_cast<std::int32_t>(kMessageLifetimeMs))
        SetMessage({});
    if (!m_notice.empty() &&
        ticksBetween(m_noticeShownAt, now) >= static_cast<std::int32_t>(kNoticeLifetimeMs)) {
        m_notice.clear();
        overlaysChanged();
    }
}

void PlayerWindow::userActed() {
    if (m_messageShownAt)
        SetMessage({});
}

std::vector<std::string> PlayerWindow::StatisticsLines() const {
    const std::optional<float> offset = m_view.AudioOffset();
    return {
        formatted("Render: %.1f ms", m_view.LastRenderMilliseconds()),
        formatted("Shown: %.0f frames/s",
                  static_cast<double>(m_shownTicks.size()) * 1000.0 / kFramesPerSecondWindowMs),
        offset ? formatted("Audio offset: %+.0f ms", std::round(*offset * 1000.0f))
               : std::string("Audio offset: no sound playing"),
        "Speed: " + PlaybackSpeed::name(m_speed->value()),
    };
}

bool PlayerWindow::Compose() {
    const CImageExt& back = m_view.Paint();
    m_view.DrawChangedFrameButtons();
    const Rect panelRect = m_view.PanelRect();
    const CImageExt* panel = panelRect.width() > 0 ? &Panel().Picture() : nullptr;
    const std::optional<CPlayerNavigateDialog::Tooltip> tooltip =
        panel ? Panel().CurrentTooltip() : std::nullopt;
    const bool sameAround = m_shown.valid && m_shown.overlayVersion == m_overlayVersion &&
                            m_shown.panelRect == panelRect && m_shown.tooltip == tooltip;
    const bool samePanel = !panel || panel->equals(m_shown.panel);
    if (sameAround && samePanel && m_shown.backBufferVersion == m_view.BackBufferVersion())
        return false;

    const Size client = ClientSize();
    std::optional<std::vector<Rect>> parts =
        m_view.TakeBackBufferChanges(m_shown.backBufferVersion);
    if (sameAround && parts && !drawsOverMovie() && m_window.width() == client.width &&
        m_window.height() == client.height && !back.isNull()) {
        composeParts(back, *parts, panel, panelRect);
        // The panel's time and track move while the movie plays: it is put back whole.
        if (!samePanel && !panel->isNull()) {
            copyPixels(panel->view(), m_window.view(), panelRect.left, panelRect.top,
                       panelRect.width(), panelRect.height());
            parts->push_back(panelRect);
        }
        m_composedParts = std::move(parts);
    } else {
        composeWhole(back, panel, panelRect, tooltip);
        m_composedParts.reset();
    }

    m_shown.valid = true;
    m_shown.backBufferVersion = m_view.BackBufferVersion();
    m_shown.overlayVersion = m_overlayVersion;
    m_shown.panelRect = panelRect;
    m_shown.tooltip = tooltip;
    if (panel)
        panel->copyTo(m_shown.panel);
    const std::uint32_t now = m_clock.now();
    std::erase_if(m_shownTicks, [now](std::uint32_t tick) {
        return ticksBetween(tick, now) >= static_cast<std::int32_t>(kFramesPerSecondWindowMs);
    });
    m_shownTicks.push_back(now);
    return true;
}

void PlayerWindow::composeWhole(const CImageExt& back, const CImageExt* panel,
                                const Rect& panelRect,
                                const std::optional<CPlayerNavigateDialog::Tooltip>& tooltip) {
    const Size client = ClientSize();
    // Filled or covered whole by the back buffer below.
    if (m_window.width() != client.width || m_window.height() != client.height)
        m_window.createForOverwrite(client.width, client.height, 32);
    if (back.isNull() || back.width() < client.width || back.height() < client.height)
        fillPixels(m_window.view(), 0, 0, client.width, client.height, 0xFF000000);
    if (!back.isNull())
        copyPixels(back.view(), m_window.view(), 0, 0, client.width, client.height);
    drawOverlays();
    if (panel && !panel->isNull())
        copyPixels(panel->view(), m_window.view(), panelRect.left, panelRect.top, panelRect.width(),
                   panelRect.height());
    if (tooltip && !tooltip->text.empty())
        drawTooltip(*tooltip, panelRect);
    m_menu.Draw(m_window);
}

// Only the parts of the back buffer drawn since the last compose, with the panel put back where
// they meet it; nothing else is drawn over them.
void PlayerWindow::composeParts(const CImageExt& back, const std::vector<Rect>& parts,
                                const CImageExt* panel, const Rect& panelRect) {
    for (const Rect& part : parts) {
        const int width = static_cast<int>(part.width()), height = static_cast<int>(part.height());
        copyPixels(subView(back.view(), part.left, part.top, width, height), m_window.view(),
                   part.left, part.top, width, height);
        if (!panel || panel->isNull())
            continue;
        const Rect meet{std::max(part.left, panelRect.left), std::max(part.top, panelRect.top),
                        std::min(part.right, panelRect.right),
                        std::min(part.bottom, panelRect.bottom)};
        if (meet.width() <= 0 || meet.height() <= 0)
            continue;
        copyPixels(subView(panel->view(), meet.left - panelRect.left, meet.top - panelRect.top,
                           static_cast<int>(meet.width()), static_cast<int>(meet.height())),
                   m_window.view(), meet.left, meet.top, static_cast<int>(meet.width()),
                   static_cast<int>(meet.height()));
    }
}

bool PlayerWindow::drawsOverMovie() const {
    return !m_message.empty() || m_helpShown || m_statisticsShown || !m_notice.empty() ||
           m_menu.IsOpen();
}

void PlayerWindow::drawOverlays() {
    const Rect area = m_view.MovieRect();
    const int scale = DeviceScale();
    if (!m_message.empty())
        drawOverlayBox(m_window, area, {m_message, OverlayBox::Place::Centre, true, scale});
    if (m_helpShown)
        drawOverlayBox(m_window, area, {keyHelpLines(), OverlayBox::Place::Centre, false, scale});
    // The statistics and a notice share the top-left corner, the notice below.
    Rect corner = area;
    if (m_statisticsShown)
        corner.top = drawOverlayBox(m_window, area,
                                    {StatisticsLines(), OverlayBox::Place::TopLeft, false, scale})
                         .bottom;
    if (!m_notice.empty())
        drawOverlayBox(m_window, corner, {{m_notice}, OverlayBox::Place::TopLeft, false, scale});
    m_fileList.Draw(m_window, area);
}

void PlayerWindow::ShowFileList(const std::filesystem::path& folder) {
    m_fileList.Open(folder);
    overlaysChanged();
}

void PlayerWindow::actOnFileList(std::optional<std::filesystem::path> chosen) {
    overlaysChanged();
    if (chosen && m_movieChosen)
        m_movieChosen(*chosen);
}

bool PlayerWindow::fileListKey(CZCPlayerView::Key key) {
    using Key = CZCPlayerView::Key;
    using Action = FileList::Action;
    std::optional<Action> action;
    switch (key) {
        case Key::Up:
            action = Action::Up;
            break;
        case Key::Down:
            action = Action::Down;
            break;
        case Key::PageUp:
            action = Action::PageUp;
            break;
        case Key::PageDown:
            action = Action::PageDown;
            break;
        case Key::Home:
            action = Action::Home;
            break;
        case Key::End:
            action = Action::End;
            break;
        case Key::Enter:
            action = Action::Open;
            break;
        case Key::NormalSpeed:  // Backspace
            action = Action::Parent;
            break;
        case Key::Escape:
            action = Action::Close;
            break;
        default:
            return false;
    }
    actOnFileList(m_fileList.Act(*action));
    return true;
}

void PlayerWindow::drawTooltip(const CPlayerNavigateDialog::Tooltip& tip, const Rect& panel) {
    const int scale = DeviceScale();
    PanelTextStyle style;
    style.colour = kTooltipText;
    style.pixelHeight = 13 * scale;
    style.bold = false;
    const Size text = measureText(tip.text, style);
    const Size size{text.width + 12 * scale, text.height + 6 * scale};
    // Above the track as well as the control, so the tip never hides where the mouse may seek.
    const Rect anchor{panel.left + tip.anchor.left,
                      panel.top + std::min(tip.anchor.top, Panel().TrackRect().top),
                      panel.left + tip.anchor.right, panel.top + tip.anchor.bottom};
    const Size client = ClientSize();
    const auto [left, top] = placeTooltip(anchor, size, {0, 0, client.width, client.height});
    const int width = size.width;
    const int height = size.height;
    fillPixels(m_window.view(), left, top, width, height, kTooltipBorder);
    fillPixels(m_window.view(), left + scale, top + scale, width - 2 * scale, height - 2 * scale,
               kTooltipFill);
    drawCentredText(m_window, {left, top, left + width, top + height}, tip.text, style);
}

void PlayerWindow::MouseMove(Point point, Point screen) {
    if (m_menu.IsOpen()) {
        if (m_menu.MouseMove(point))
            overlaysChanged();
        return;
    }
    const Rect panel = m_view.PanelRect();
    if (Panel().IsDragging() || panel.contains(point)) {
        m_panelHasMouse = true;
        Panel().OnMouseMove(offset(point, panel));
    } else if (m_panelHasMouse) {
        m_panelHasMouse = false;
        Panel().OnMouseLeave();
    }
    m_view.FrameMouseMove(point, screen);
    if (auto target = Frame().DragWindowPosition(); target && m_host)
        m_host->MoveWindowTo(*target);
}

void PlayerWindow::MouseDown(Point point, Point screen, Point windowTopLeft, bool doubleClick) {
    userActed();
    if (m_menu.IsOpen()) {
        overlaysChanged();
        if (const std::optional<int> command = m_menu.Press(point))
            runMenuCommand(*command);
        return;
    }
    if (m_fileList.IsOpen() && m_fileList.Bounds().contains(point)) {
        actOnFileList(m_fileList.Click(point, doubleClick));
        return;
    }
    const Rect panel = m_view.PanelRect();
    if (panel.contains(point)) {
        m_panelPressed = true;
        Panel().OnLButtonDown(offset(point, panel));
        return;
    }
    if (m_view.FrameMouseDown(point, screen, windowTopLeft))
        return;
    if (doubleClick)
        m_view.OnDoubleClick();
    else
        m_view.OnMousePress();
}

void PlayerWindow::MouseUp(Point point) {
    // The panel holds the mouse from its press to the release, wherever that happens.
    const Rect panel = m_view.PanelRect();
    if (m_panelPressed || panel.contains(point))
        Panel().OnLButtonUp(offset(point, panel));
    m_panelPressed = false;
    m_view.FrameMouseUp(point);
}

void PlayerWindow::MouseLeave() {
    m_panelHasMouse = false;
    Panel().OnMouseLeave();
}

void PlayerWindow::MouseWheel(int notches) {
    if (m_fileList.IsOpen()) {
        for (int i = 0; i < std::abs(notches); ++i)
            m_fileList.Act(notches > 0 ? FileList::Action::Up : FileList::Action::Down);
        overlaysChanged();
        return;
    }
    m_view.OnWheel(notches);
}

void PlayerWindow::changeVolume(int steps) {
    m_gain->setMuted(false);
    m_gain->setLevel(m_gain->level() + steps);
    ShowNotice("Volume " + std::to_string(m_gain->level() * 100 / SoundGain::kSteps) + " %");
}

void PlayerWindow::setSpeed(float factor) {
    m_speed->set(factor);
    m_view.Transport().SetSpeed(m_speed->value());
    ShowNotice("Speed " + PlaybackSpeed::name(m_speed->value()));
}

void PlayerWindow::KeyDown(CZCPlayerView::Key key) {
    using Key = CZCPlayerView::Key;
    userActed();
    if (m_menu.IsOpen()) {
        overlaysChanged();
        if (key == Key::Up || key == Key::Down) {
            m_menu.MoveLit(key == Key::Down ? 1 : -1);
            return;
        }
        if (key == Key::Enter || key == Key::Space) {
            if (const std::optional<int> command = m_menu.ChooseLit())
                runMenuCommand(*command);
            return;
        }
        // Any other key closes the menu; Escape does nothing else.
        m_menu.Close();
        if (key == Key::Escape)
            return;
    }
    if (m_fileList.IsOpen() && fileListKey(key))
        return;
    switch (key) {
        case Key::Mute:
            m_gain->setMuted(!m_gain->muted());
            ShowNotice(m_gain->muted() ? "Muted" : "Sound on");
            break;
        case Key::VolumeUp:
            changeVolume(1);
            break;
        case Key::VolumeDown:
            changeVolume(-1);
            break;
        case Key::Slower:
        case Key::Faster:
            setSpeed(PlaybackSpeed::stepped(m_speed->value(), key == Key::Faster ? 1 : -1));
            break;
        case Key::NormalSpeed:
            setSpeed(1.0f);
            break;
        case Key::Help:
            m_helpShown = !m_helpShown;
            overlaysChanged();
            break;
        case Key::Statistics:
            m_statisticsShown = !m_statisticsShown;
            overlaysChanged();
            break;
        case Key::Loop:
            m_view.OnKeyDown(key);
            ShowNotice(m_view.Transport().IsLoop() ? "Loop on" : "Loop off");
            break;
        case Key::Escape:
            // Escape closes the help first, then leaves full screen.
            if (m_helpShown) {
                m_helpShown = false;
                overlaysChanged();
            } else {
                m_view.OnKeyDown(key);
            }
            break;
        default:
            m_view.OnKeyDown(key);
            break;
    }
}

}  // namespace lumenreel
