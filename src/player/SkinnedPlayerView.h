#pragma once

#include <filesystem>
#include <memory>

#include "player/PanelNavigateDialog.h"
#include "player/PlayerView.h"
#include "player/WindowFrame.h"

class CRBFileSystem;
class CTranslateInterface;

// The player view with its skinned panel and window frame: the frame is drawn into the back
// buffer, the panel sits along the bottom edge as wide as the view, follows each tick and
// drives this view's transport, Fit and full screen stay in step between the two, and a stop
// resets the record check and re-enables seeking.
class CSkinnedPlayerView : public CZCPlayerView {
public:
    explicit CSkinnedPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source = {});

    // The whole view at this many device pixels a skin pixel: panel, frame and, unless it is
    // fitted to the area, the movie. Set before LoadSkin.
    void SetDeviceScale(int scale);
    int DeviceScale() const { return m_scale; }

    // Reads the panel and the frame from the package, or without one from the "Player Skin"
    // folder below diskBase, then creates the panel. Objects handed over are not owned.
    void LoadSkin(CRBFileSystem* package, CTranslateInterface* translator,
                  const std::filesystem::path& diskBase = {});

    CPlayerNavigateDialog& Panel() { return m_panel; }
    CWindowFrame& Frame() { return m_frame; }

    // The client size that shows the movie at its own size inside frame and panel; 256 × 256
    // with no movie.
    lumenreel::Size PreferredSize();
    // The smallest client size the user may drag the window to; creates the panel.
    lumenreel::Size MinTrackSize();

    // Frame buttons whose look changed (hover, press, maximised) drawn again into the back
    // buffer; true when any was.
    bool DrawChangedFrameButtons();

    // Mouse events in view client pixels go to the frame first; true when it took them. After
    // a true result the back buffer may have changed and should be shown again.
    bool FrameMouseMove(lumenreel::Point point, lumenreel::Point screenPoint);
    bool FrameMouseDown(lumenreel::Point point, lumenreel::Point screenPoint,
                        lumenreel::Point windowPosition);
    bool FrameMouseUp(lumenreel::Point point);

private:
    CPlayerNavigateDialog m_panel;
    CWindowFrame m_frame;
    int m_scale = 1;
};
