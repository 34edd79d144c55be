#include "player/WindowFrame.h"

#include "player/SkinDrawing.h"

namespace {
// In skin pixels, as the buttons' places from the right edge are.
constexpr int kButtonTop = 8;
}  // namespace

CWindowFrame::CWindowFrame() {
    m_close.SetCallback(
        [this](void*) {
            if (m_host)
                m_host->Close();
        },
        nullptr);
    m_minimise.SetCallback(
        [this](void*) {
            if (m_host)
                m_host->Minimise();
        },
        nullptr);
    m_maximise.SetCallback([this](void*) { pressedMaximise(); }, nullptr);
}

void CWindowFrame::pressedMaximise() {
    if (m_maximise.CurrentImageSet() == 0) {
        if (m_host)
            m_host->Maximise();
        m_maximise.SelectImageSet(1);
    } else {
        if (m_host)
            m_host->Restore();
        m_maximise.SelectImageSet(0);
    }
}

void CWindowFrame::LoadSkin(const lumenreel::SkinSource& source) {
    m_skin = source;
    const std::string folder = lumenreel::kSkinFolder;
    auto load = [&](CImageExt& image, const char* name) {
        LoadSkinImage(image, folder + name, source);
    };
    load(m_upperRight, "Corner_upper_right.png");
    load(m_topFill, "Fill_top.png");
    load(m_upperLeft, "Corner_upper_left.png");
    load(m_leftFill, "Fill_left.png");
    load(m_rightFillTop, "Fill_right.png");
    load(m_rightFill, "Fill_right.png");
    load(m_bottomLeft, "Bottom_left.png");
    load(m_bottomRight, "Bottom_right.png");
    load(m_bottomFill, "Fill_bottom.png");
    m_topStripHeight = m_upperRight.height();

    auto names = [&folder](const char* base, const char* suffix) { return folder + base + suffix; };
    auto loadButton = [&](CInternalButton& button, const char* base) {
        button.SetSkin(&m_skin);
        button.LoadImages(names(base, "_n.png"), names(base, "_hn.png"), names(base, "_p.png"),
                          names(base, "_hp.png"));
    };
    loadButton(m_close, "close");
    loadButton(m_minimise, "min");
    const bool maximised = IsMaximisedLook();
    m_maximise.SetSkin(&m_skin);
    m_maximise.ClearImageSets();
    m_maximise.AddImageSet(names("max", "_n.png"), names("max", "_hn.png"), names("max", "_p.png"),
                           names("max", "_hp.png"));
    m_maximise.AddImageSet(names("collapse", "_n.png"), names("collapse", "_hn.png"),
                           names("collapse", "_p.png"), names("collapse", "_hp.png"));
    SetMaximised(maximised);
}

lumenreel::WindowFrameMetrics CWindowFrame::Metrics() const {
    return {m_leftFill.width(), m_upperRight.height(), m_rightFill.width(), m_bottomFill.height()};
}

void CWindowFrame::placeButtons(int width) {
    const int closeWidth = m_close.GetRect().width();
    const int maximiseWidth = m_maximise.GetRect().width();
    const int s = m_skin.scale;
    m_close.SetPosition({width - 26 * s, kButtonTop * s});
    m_maximise.SetPosition({width - 28 * s - closeWidth, kButtonTop * s});
    m_minimise.SetPosition({width - 30 * s - 2 * maximiseWidth, kButtonTop * s});
}

void CWindowFrame::DrawWindowFrame(CImageExt& backBuffer, const lumenreel::Rect& movieArea) {
    if (!IsLoaded() || backBuffer.isNull())
        return;
    using lumenreel::drawSkinImage;
    const int w = backBuffer.width();
    const int h = backBuffer.height();
    drawTopStrip(backBuffer);
    if (!m_leftFill.isNull())
        for (int y = m_upperLeft.height(); y < h - m_bottomLeft.height(); ++y)
            drawSkinImage(m_leftFill, backBuffer, 0, y);
    const int rightX = w - m_rightFill.width();
    drawSkinImage(m_rightFillTop, backBuffer, rightX, m_upperRight.height());
    if (!m_rightFill.isNull())
        for (int y = m_upperRight.height(); y < h - m_bottomRight.height(); ++y)
            drawSkinImage(m_rightFill, backBuffer, rightX, y);
    if (!m_bottomFill.isNull()) {
        const int bottomY = movieArea.height() + m_topFill.height();
        for (int x = m_bottomLeft.width(); x < w - m_bottomRight.width(); ++x)
            drawSkinImage(m_bottomFill, backBuffer, x, bottomY);
    }
    drawSkinImage(m_bottomLeft, backBuffer, 0, h - m_bottomLeft.height());
    drawSkinImage(m_bottomRight, backBuffer, rightX, h - m_bottomRight.height());
    placeButtons(w);
    drawButtons(backBuffer);
}

void CWindowFrame::drawTopStrip(CImageExt& backBuffer) {
    using lumenreel::drawSkinImage;
    const int w = backBuffer.width();
    drawSkinImage(m_upperRight, backBuffer, w - m_upperRight.width(), 0);
    for (int x = 0; x < w - m_upperRight.width(); ++x)
        drawSkinImage(m_topFill, backBuffer, x, 0);
    drawSkinImage(m_upperLeft, backBuffer, 0, 0);
}

void CWindowFrame::drawButtons(CImageExt& backBuffer) {
    m_close.Draw(backBuffer);
    m_maximise.Draw(backBuffer);
    m_minimise.Draw(backBuffer);
}

bool CWindowFrame::DrawDirtyButtons(CImageExt& backBuffer) {
    if (!IsLoaded() || backBuffer.isNull() ||
        (!m_close.IsDirty() && !m_minimise.IsDirty() && !m_maximise.IsDirty()))
        return false;
    // The button pictures are partly transparent, so the strip behind them is laid down first.
    drawTopStrip(backBuffer);
    drawButtons(backBuffer);
    return true;
}

bool CWindowFrame::MouseMove(lumenreel::Point point, lumenreel::Point screenPoint) {
    m_close.MouseMove(point);
    m_minimise.MouseMove(point);
    m_maximise.MouseMove(point);
    if (!m_dragging)
        return false;
    m_dragTarget = lumenreel::Point{m_dragStartWindow.x + screenPoint.x - m_dragStartScreen.x,
                                    m_dragStartWindow.y + screenPoint.y - m_dragStartScreen.y};
    return true;
}

bool CWindowFrame::MouseDown(lumenreel::Point point, lumenreel::Point screenPoint,
                             lumenreel::Point windowPosition) {
    bool taken = false;
    for (CInternalButton* button : {static_cast<CInternalButton*>(&m_close), &m_minimise,
                                    static_cast<CInternalButton*>(&m_maximise)})
        taken = button->MouseDown(point) || taken;
    if (taken)
        return true;
    if (point.y < 0 || point.y >= m_topStripHeight)
        return false;
    m_dragging = true;
    m_dragStartScreen = screenPoint;
    m_dragStartWindow = windowPosition;
    m_dragTarget.reset();
    return true;
}

bool CWindowFrame::MouseUp(lumenreel::Point point) {
    const bool wasPressed = m_close.IsPressed() || m_minimise.IsPressed() || m_maximise.IsPressed();
    m_close.MouseUp(point);
    m_minimise.MouseUp(point);
    m_maximise.MouseUp(point);
    const bool wasDragging = m_dragging;
    m_dragging = false;
    m_dragTarget.reset();
    return wasPressed || wasDragging;
}
