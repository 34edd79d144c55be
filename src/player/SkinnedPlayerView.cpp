#include "player/SkinnedPlayerView.h"

CSkinnedPlayerView::CSkinnedPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source)
    : CZCPlayerView(clock, std::move(source)) {
    m_panel.SetCommandListener([this](int id) {
        if (id == CPlayerNavigateDialog::kFit)
            SetFitChecked(m_panel.IsFitChecked());
    });
}

void CSkinnedPlayerView::LoadSkin(CRBFileSystem* package, CTranslateInterface* translator,
                                  const std::filesystem::path& diskBase) {
    m_panel.SetTransport(this);
    m_panel.SetTranslator(translator);
    m_panel.SetSkin(package);
    m_panel.SetSkinFolderBase(diskBase);
    m_panel.LoadSkin();
    m_panel.Create();
    m_panel.SetFitChecked(IsFitChecked());
    SetPanelHeight(m_panel.Height());
    m_frame.LoadSkin({package, diskBase});
    SetWindowFrameMetrics(m_frame.Metrics());
}

lumenreel::ViewRect CSkinnedPlayerView::AlignPanel(int viewWidth, int viewHeight) {
    m_panel.SetWidth(viewWidth);
    return {0, viewHeight - m_panel.Height(), viewWidth, viewHeight};
}

void CSkinnedPlayerView::DrawWindowFrame(CImageExt& backBuffer) {
    m_backBuffer = &backBuffer;
    m_frame.DrawWindowFrame(backBuffer, MovieRect());
}

bool CSkinnedPlayerView::redrawFrameButtons() {
    return m_backBuffer && !IsFullScreen() && m_frame.DrawDirtyButtons(*m_backBuffer);
}

bool CSkinnedPlayerView::FrameMouseMove(lumenreel::ViewPoint point,
                                        lumenreel::ViewPoint screenPoint) {
    const bool taken = !IsFullScreen() && m_frame.MouseMove(point, screenPoint);
    return redrawFrameButtons() || taken;
}

bool CSkinnedPlayerView::FrameMouseDown(lumenreel::ViewPoint point,
                                        lumenreel::ViewPoint screenPoint,
                                        lumenreel::ViewPoint windowPosition) {
    const bool taken = !IsFullScreen() && m_frame.MouseDown(point, screenPoint, windowPosition);
    redrawFrameButtons();
    return taken;
}

bool CSkinnedPlayerView::FrameMouseUp(lumenreel::ViewPoint point) {
    const bool taken = !IsFullScreen() && m_frame.MouseUp(point);
    redrawFrameButtons();
    return taken;
}

void CSkinnedPlayerView::RefreshPanel() {
    m_panel.Refresh();
    m_panel.SetFullScreenChecked(IsFullScreen(), false);
}

void CSkinnedPlayerView::StopHook() {
    m_panel.SetRecordChecked(false, false);
    m_panel.EnableSeeking(true);
}
