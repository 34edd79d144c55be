#include "app/PlayerWindow.h"

#include <algorithm>

#include "images/PixelBlit.h"
#include "player/SkinFiles.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {

constexpr int kMessageLineHeight = 24;
constexpr std::uint32_t kTooltipBorder = 0xFF505050;
constexpr std::uint32_t kTooltipFill = 0xFFF4F4F4;
constexpr std::uint32_t kTooltipText = 0x202020;

PanelTextStyle messageStyle() {
    PanelTextStyle style;
    style.colour = 0xE6E6E6;
    style.pixelHeight = 15;
    style.bold = false;
    return style;
}

Point offset(Point point, const Rect& rect) {
    return {point.x - rect.left, point.y - rect.top};
}

}  // namespace

PlayerWindow::PlayerWindow(TickClock& clock, OutputDeviceFactory devices)
    : m_view(clock, std::make_unique<CDocImp>(std::move(devices))) {}

void PlayerWindow::SetHost(PlayerHost& host) {
    m_host = &host;
    m_view.SetHost(&host);
    m_view.Frame().SetHost(&host);
}

void PlayerWindow::SetSkin(CRBFileSystem* package, CTranslateInterface* translator) {
    m_view.LoadSkin(package, translator);
}

void PlayerWindow::SetClientSize(int width, int height) {
    m_view.SetClientSize(std::max(width, 1), std::max(height, 1));
    m_shown.valid = false;
}

void PlayerWindow::SetMessage(std::vector<std::string> lines) {
    m_message = std::move(lines);
    m_shown.valid = false;
}

bool PlayerWindow::Compose() {
    const CImageExt& back = m_view.Paint();
    m_view.DrawChangedFrameButtons();
    const Rect panelRect = m_view.PanelRect();
    const CImageExt* panel = panelRect.width() > 0 ? &Panel().Picture() : nullptr;
    const std::optional<CPlayerNavigateDialog::Tooltip> tooltip =
        panel ? Panel().CurrentTooltip() : std::nullopt;
    if (m_shown.valid && m_shown.backBufferVersion == m_view.BackBufferVersion() &&
        m_shown.panelRect == panelRect && m_shown.tooltip == tooltip &&
        (!panel || panel->equals(m_shown.panel)))
        return false;

    const Size client = ClientSize();
    if (m_window.width() != client.width || m_window.height() != client.height)
        m_window.create(client.width, client.height, 32);
    if (back.isNull() || back.width() < client.width || back.height() < client.height)
        fillPixels(m_window.view(), 0, 0, client.width, client.height, 0xFF000000);
    if (!back.isNull())
        copyPixels(back.view(), m_window.view(), 0, 0, client.width, client.height);
    drawMessage();
    if (panel && !panel->isNull())
        copyPixels(panel->view(), m_window.view(), panelRect.left, panelRect.top, panelRect.width(),
                   panelRect.height());
    if (tooltip && !tooltip->text.empty())
        drawTooltip(*tooltip, panelRect);

    m_shown.valid = true;
    m_shown.backBufferVersion = m_view.BackBufferVersion();
    m_shown.panelRect = panelRect;
    m_shown.tooltip = tooltip;
    if (panel)
        panel->copyTo(m_shown.panel);
    return true;
}

void PlayerWindow::drawMessage() {
    if (m_message.empty())
        return;
    const Rect area = m_view.MovieRect();
    const int total = static_cast<int>(m_message.size()) * kMessageLineHeight;
    int top = area.top + (area.height() - total) / 2;
    for (const std::string& line : m_message) {
        drawCentredText(m_window, {area.left + 8, top, area.right - 8, top + kMessageLineHeight},
                        line, messageStyle());
        top += kMessageLineHeight;
    }
}

void PlayerWindow::drawTooltip(const CPlayerNavigateDialog::Tooltip& tip, const Rect& panel) {
    PanelTextStyle style;
    style.colour = kTooltipText;
    style.pixelHeight = 13;
    style.bold = false;
    const Size size = measureText(tip.text, style);
    const int width = size.width + 12;
    const int height = size.height + 6;
    const int left =
        std::clamp(panel.left + tip.anchor.left, 0, std::max(0, ClientSize().width - width));
    const int top = std::max(0, panel.top + tip.anchor.top - height - 4);
    fillPixels(m_window.view(), left, top, width, height, kTooltipBorder);
    fillPixels(m_window.view(), left + 1, top + 1, width - 2, height - 2, kTooltipFill);
    drawCentredText(m_window, {left, top, left + width, top + height}, tip.text, style);
}

void PlayerWindow::MouseMove(Point point, Point screen) {
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

void PlayerWindow::KeyDown(CZCPlayerView::Key key) {
    m_view.OnKeyDown(key);
}

}  // namespace lumenreel
