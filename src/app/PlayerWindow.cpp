#include "app/PlayerWindow.h"

#include <algorithm>

#include "player/PixelBlit.h"
#include "player/SkinFiles.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {

constexpr int kNoMoviePreferredSize = 256;
constexpr int kMinTrackWidth = 410;
constexpr int kMinTrackHeightWithMovie = 200;
constexpr int kMinTrackExtraHeight = 300;
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

ViewPoint offset(ViewPoint point, const ViewRect& rect) {
    return {point.x - rect.left, point.y - rect.top};
}

}  // namespace

// The view whose panel follows the clock on every tick.
class PlayerWindow::SkinnedView : public CZCPlayerView {
public:
    SkinnedView(TickClock& clock, OutputDeviceFactory devices, CPlayerNavigateDialog& panel)
        : CZCPlayerView(clock, std::make_unique<CDocImp>(std::move(devices))), m_panel(panel) {}

protected:
    void RefreshPanel() override { m_panel.Refresh(); }
    void StopHook() override {
        m_panel.SetRecordChecked(false, false);
        m_panel.EnableSeeking(true);
    }

private:
    CPlayerNavigateDialog& m_panel;
};

PlayerWindow::PlayerWindow(TickClock& clock, OutputDeviceFactory devices)
    : m_view(std::make_unique<SkinnedView>(clock, std::move(devices), m_panel)) {
    m_panel.SetTransport(m_view.get());
    m_panel.SetCommandListener([this](int id) { onPanelCommand(id); });
    m_view->SetHost({
        .invalidate = [](bool) {},
        .fullScreenChanged =
            [this] {
                m_panel.SetFullScreenChecked(m_view->IsFullScreen(), false);
                if (m_host.fullScreenChanged)
                    m_host.fullScreenChanged(m_view->IsFullScreen());
            },
        .closeRequested =
            [this] {
                if (m_host.close)
                    m_host.close();
            },
    });
    m_frame.SetHost({
        .close =
            [this] {
                if (m_host.close)
                    m_host.close();
            },
        .minimise =
            [this] {
                if (m_host.minimise)
                    m_host.minimise();
            },
        .maximise =
            [this] {
                if (m_host.maximise)
                    m_host.maximise();
            },
        .restore =
            [this] {
                if (m_host.restore)
                    m_host.restore();
            },
    });
}

PlayerWindow::~PlayerWindow() = default;

CZCPlayerView& PlayerWindow::View() {
    return *m_view;
}

void PlayerWindow::SetSkin(CRBFileSystem* package, CTranslateInterface* translator) {
    m_panel.SetSkin(package);
    m_panel.SetTranslator(translator);
    m_panel.LoadSkin();
    m_panel.Create();
    m_frame.LoadSkin(SkinSource{package, {}});
    m_view->SetWindowFrameMetrics(m_frame.Metrics());
    m_view->SetPanelHeight(m_panel.Height());
}

ViewPoint PlayerWindow::PreferredSize() {
    if (!m_view->HasMovie())
        return {kNoMoviePreferredSize, kNoMoviePreferredSize};
    const WindowFrameMetrics frame = m_frame.Metrics();
    const CDocImp::Size display = m_view->GetMovieSize();
    return {display.width + frame.leftFillWidth + frame.rightFillWidth,
            display.height + frame.upperRightHeight + frame.bottomFillHeight + m_panel.Height()};
}

ViewPoint PlayerWindow::MinTrackSize() {
    m_view->CreatePanelWindow();
    m_view->ShowPanel(true);
    const int height =
        m_view->HasMovie() ? kMinTrackHeightWithMovie : m_panel.Height() + kMinTrackExtraHeight;
    return {kMinTrackWidth, height};
}

void PlayerWindow::SetClientSize(int width, int height) {
    m_client = {std::max(width, 1), std::max(height, 1)};
    m_view->SetClientSize(m_client.x, m_client.y);
    m_panel.SetWidth(m_client.x);
}

void PlayerWindow::SetFitChecked(bool flag) {
    m_view->SetFitChecked(flag);
    m_panel.SetFitChecked(flag);
}

void PlayerWindow::OnTimer() {
    m_view->OnTimer();
    if (!m_view->HasMovie())
        m_panel.Refresh();
}

void PlayerWindow::onPanelCommand(int id) {
    if (id == CPlayerNavigateDialog::kFit)
        m_view->SetFitChecked(m_panel.IsFitChecked());
}

bool PlayerWindow::panelShown() {
    const PanelState& panel = m_view->GetPanel();
    return panel.exists && (panel.visible || !m_view->IsFullScreen());
}

ViewRect PlayerWindow::PanelRect() {
    if (!panelShown())
        return {};
    return {0, m_client.y - m_panel.Height(), m_client.x, m_client.y};
}

const CImageExt& PlayerWindow::Compose() {
    const CImageExt& back = m_view->Paint();
    if (m_window.width() != m_client.x || m_window.height() != m_client.y)
        m_window.create(m_client.x, m_client.y, 32);
    fillPixels(m_window.view(), 0, 0, m_client.x, m_client.y, 0xFF000000);
    if (!back.isNull())
        copyPixels(back.view(), m_window.view(), 0, 0, m_client.x, m_client.y);
    if (!m_view->IsFullScreen())
        m_frame.DrawWindowFrame(m_window, m_view->MovieRect());
    drawMessage();
    if (ViewRect panel = PanelRect(); panel.width() > 0) {
        const CImageExt& picture = m_panel.Picture();
        if (!picture.isNull())
            copyPixels(picture.view(), m_window.view(), panel.left, panel.top, panel.width(),
                       panel.height());
        drawTooltip();
    }
    return m_window;
}

void PlayerWindow::drawMessage() {
    if (m_message.empty())
        return;
    const ViewRect area = m_view->MovieRect();
    const int total = static_cast<int>(m_message.size()) * kMessageLineHeight;
    int top = area.top + (area.height() - total) / 2;
    for (const std::string& line : m_message) {
        drawCentredText(m_window, {area.left + 8, top, area.right - 8, top + kMessageLineHeight},
                        line, messageStyle());
        top += kMessageLineHeight;
    }
}

void PlayerWindow::drawTooltip() {
    const std::optional<CPlayerNavigateDialog::Tooltip> tip = m_panel.CurrentTooltip();
    if (!tip || tip->text.empty())
        return;
    PanelTextStyle style;
    style.colour = kTooltipText;
    style.pixelHeight = 13;
    style.bold = false;
    const ViewPoint size = measureText(tip->text, style);
    const ViewRect panel = PanelRect();
    const int width = size.x + 12;
    const int height = size.y + 6;
    const int left = std::clamp(panel.left + tip->anchor.left, 0, std::max(0, m_client.x - width));
    const int top = std::max(0, panel.top + tip->anchor.top - height - 4);
    fillPixels(m_window.view(), left, top, width, height, kTooltipBorder);
    fillPixels(m_window.view(), left + 1, top + 1, width - 2, height - 2, kTooltipFill);
    drawCentredText(m_window, {left, top, left + width, top + height}, tip->text, style);
}

void PlayerWindow::MouseMove(ViewPoint point, ViewPoint screen) {
    const ViewRect panel = PanelRect();
    if (m_panel.IsDragging() || panel.contains(point)) {
        m_panelHasMouse = true;
        m_panel.OnMouseMove(offset(point, panel));
    } else if (m_panelHasMouse) {
        m_panelHasMouse = false;
        m_panel.OnMouseLeave();
    }
    if (m_view->IsFullScreen())
        return;
    m_frame.MouseMove(point, screen);
    if (auto target = m_frame.DragWindowPosition(); target && m_host.moveWindow)
        m_host.moveWindow(*target);
}

void PlayerWindow::MouseDown(ViewPoint point, ViewPoint screen, ViewPoint windowTopLeft,
                             bool doubleClick) {
    const ViewRect panel = PanelRect();
    if (panel.contains(point)) {
        m_panelPressed = true;
        m_panel.OnLButtonDown(offset(point, panel));
        return;
    }
    if (!m_view->IsFullScreen() && m_frame.MouseDown(point, screen, windowTopLeft))
        return;
    if (doubleClick)
        m_view->OnDoubleClick();
    else
        m_view->OnMousePress();
}

void PlayerWindow::MouseUp(ViewPoint point) {
    // The panel holds the mouse from its press to the release, wherever that happens.
    const ViewRect panel = PanelRect();
    if (m_panelPressed || panel.contains(point))
        m_panel.OnLButtonUp(offset(point, panel));
    m_panelPressed = false;
    if (!m_view->IsFullScreen())
        m_frame.MouseUp(point);
}

void PlayerWindow::MouseLeave() {
    m_panelHasMouse = false;
    m_panel.OnMouseLeave();
}

void PlayerWindow::KeyDown(CZCPlayerView::Key key) {
    m_view->OnKeyDown(key);
}

}  // namespace lumenreel
