#pragma once

#include <optional>

#include "images/ImageExt.h"
#include "player/InternalButton.h"
#include "player/PlayerHost.h"
#include "player/SkinFiles.h"
#include "player/ViewGeometry.h"

// The skinned border around the movie: nine pictures and the close, minimise and
// maximise/restore buttons, drawn into the view's back buffer. Mouse events come in back-buffer
// pixels; pressing the top strip away from the buttons starts moving the window.
class CWindowFrame {
public:
    CWindowFrame();
    // The buttons' actions go to the host, which is not owned.
    void SetHost(lumenreel::PlayerHost* host) { m_host = host; }
    // At the source's scale: the frame's pictures and places are then in device pixels.
    void LoadSkin(const lumenreel::SkinSource& source);
    bool IsLoaded() const { return !m_upperRight.isNull() && !m_topFill.isNull(); }
    // The sizes the view leaves around the movie area (zero for missing pictures).
    lumenreel::WindowFrameMetrics Metrics() const;

    // Draws the border and the buttons into a W × H back buffer around the movie area.
    void DrawWindowFrame(CImageExt& backBuffer, const lumenreel::Rect& movieArea);
    // When a button changed since it was last drawn, the top strip and its buttons drawn again;
    // true when they were.
    bool DrawDirtyButtons(CImageExt& backBuffer);

    // True when the frame took the event (a button, or the window drag).
    bool MouseMove(lumenreel::Point point, lumenreel::Point screenPoint);
    bool MouseDown(lumenreel::Point point, lumenreel::Point screenPoint,
                   lumenreel::Point windowPosition);
    bool MouseUp(lumenreel::Point point);
    // Where the window goes while its top strip is dragged; nothing when no drag runs.
    std::optional<lumenreel::Point> DragWindowPosition() const { return m_dragTarget; }
    bool IsDragging() const { return m_dragging; }

    // The main window was maximised or restored by other means.
    void SetMaximised(bool flag) { m_maximise.SelectImageSet(flag ? 1 : 0); }
    bool IsMaximisedLook() const { return m_maximise.CurrentImageSet() == 1; }

    CInternalButton& CloseButton() { return m_close; }
    CInternalButton& MinimiseButton() { return m_minimise; }
    CInternalButton_multiImages& MaximiseButton() { return m_maximise; }

private:
    void placeButtons(int width);
    void drawTopStrip(CImageExt& backBuffer);
    void drawButtons(CImageExt& backBuffer);
    void pressedMaximise();

    lumenreel::PlayerHost* m_host = nullptr;
    lumenreel::SkinSource m_skin;
    CImageExt m_upperRight;
    CImageExt m_topFill;
    CImageExt m_upperLeft;
    CImageExt m_leftFill;
    CImageExt m_rightFillTop;
    CImageExt m_rightFill;
    CImageExt m_bottomLeft;
    CImageExt m_bottomRight;
    CImageExt m_bottomFill;
    CInternalButton m_close;
    CInternalButton m_minimise;
    CInternalButton_multiImages m_maximise;
    int m_topStripHeight = 0;

    bool m_dragging = false;
    lumenreel::Point m_dragStartScreen;
    lumenreel::Point m_dragStartWindow;
    std::optional<lumenreel::Point> m_dragTarget;
};
