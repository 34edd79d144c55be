#include "player/SkinnedPlayerView.h"

#include <algorithm>

namespace {

constexpr int kNoMoviePreferredSize = 256;
constexpr int kMinTrackWidth = 410;
constexpr int kMinTrackHeightWithMovie = 200;
constexpr int kMinTrackExtraHeight = 300;

}  // namespace

CSkinnedPlayerView::CSkinnedPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source)
    : CZCPlayerView(clock, std::move(source)) {
    SetPanel(&m_panel);
    SetFramePainter([this](CImageExt& backBuffer, const lumenreel::Rect& movieArea) {
        m_frame.DrawWindowFrame(backBuffer, movieArea);
    });
    m_panel.SetCommandListener([this](int id) {
        if (id == CPlayerNavigateDialog::kFit)
            SetFitChecked(m_panel.IsFitChecked());
    });
}

void CSkinnedPlayerView::SetDeviceScale(int scale) {
    m_scale = std::max(scale, 1);
    m_panel.SetScale(m_scale);
    SetMovieScale(m_scale);
}

void CSkinnedPlayerView::LoadSkin(CRBFileSystem* package, CTranslateInterface* translator,
                                  const std::filesystem::path& diskBase) {
    m_panel.SetTransport(&Transport());
    m_panel.SetTranslator(translator);
    m_panel.SetSkin(package);
    m_panel.SetSkinFolderBase(diskBase);
    m_panel.LoadSkin();
    m_panel.Create();
    m_panel.SetFitChecked(IsFitChecked());
    m_panel.SetWidth(ClientSize().width);
    SetPanelHeight(m_panel.Height());
    m_frame.LoadSkin({package, diskBase, m_scale});
    SetWindowFrameMetrics(m_frame.Metrics());
}

lumenreel::Size CSkinnedPlayerView::PreferredSize() {
    if (!HasMovie())
        return {kNoMoviePreferredSize * m_scale, kNoMoviePreferredSize * m_scale};
    const lumenreel::WindowFrameMetrics frame = m_frame.Metrics();
    const CDocImp::Size display = Transport().GetMovieSize();
    const auto shown = [this](std::int32_t length) {
        return lumenreel::clampToInt(std::int64_t{length} * m_scale);
    };
    return {
        shown(display.width) + frame.leftFillWidth + frame.rightFillWidth,
        shown(display.height) + frame.upperRightHeight + frame.bottomFillHeight + m_panel.Height()};
}

lumenreel::Size CSkinnedPlayerView::MinTrackSize() {
    CreatePanelWindow();
    ShowPanel(true);
    const int height = HasMovie() ? kMinTrackHeightWithMovie * m_scale
                                  : m_panel.Height() + kMinTrackExtraHeight * m_scale;
    return {kMinTrackWidth * m_scale, height};
}

bool CSkinnedPlayerView::DrawChangedFrameButtons() {
    return !IsFullScreen() && DrawIntoBackBuffer([this](CImageExt& backBuffer) {
        return m_frame.DrawDirtyButtons(backBuffer);
    });
}

bool CSkinnedPlayerView::FrameMouseMove(lumenreel::Point point, lumenreel::Point screenPoint) {
    const bool taken = !IsFullScreen() && m_frame.MouseMove(point, screenPoint);
    return DrawChangedFrameButtons() || taken;
}

bool CSkinnedPlayerView::FrameMouseDown(lumenreel::Point point, lumenreel::Point screenPoint,
                                        lumenreel::Point windowPosition) {
    const bool taken = !IsFullScreen() && m_frame.MouseDown(point, screenPoint, windowPosition);
    DrawChangedFrameButtons();
    return taken;
}

bool CSkinnedPlayerView::FrameMouseUp(lumenreel::Point point) {
    const bool taken = !IsFullScreen() && m_frame.MouseUp(point);
    DrawChangedFrameButtons();
    return taken;
}
