#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "player/PanelNavigateDialog.h"
#include "player/PlayerView.h"
#include "player/WindowFrame.h"
#include "sound/OutputDevice.h"

class CRBFileSystem;
class CTranslateInterface;

namespace lumenreel {

// The whole player window without a toolkit: the view with its skinned frame and control panel,
// composed into one picture, and the mouse and keys routed to whichever part is under them.
// Coordinates are window pixels unless named screen.
class PlayerWindow {
public:
    struct Host {
        std::function<void()> close;
        std::function<void()> minimise;
        std::function<void()> maximise;
        std::function<void()> restore;
        std::function<void(bool fullScreen)> fullScreenChanged;
        std::function<void(ViewPoint topLeft)> moveWindow;  // the top strip is being dragged
    };

    PlayerWindow(TickClock& clock, OutputDeviceFactory devices);
    ~PlayerWindow();

    void SetHost(Host host) { m_host = std::move(host); }
    // Objects handed over are not owned. Without a package the skin comes from the disk.
    void SetSkin(CRBFileSystem* package, CTranslateInterface* translator);

    CZCPlayerView& View();
    CPlayerNavigateDialog& Panel() { return m_panel; }
    CWindowFrame& Frame() { return m_frame; }

    // The window size that shows the movie at its own size; 256 × 256 with none.
    ViewPoint PreferredSize();
    // The smallest size the user may drag the window to; creates the panel.
    ViewPoint MinTrackSize();
    void SetClientSize(int width, int height);
    ViewPoint ClientSize() const { return m_client; }
    void SetFitChecked(bool flag);
    void OnTimer();

    // Lines shown in the middle of the movie area while no movie plays (why, or what to do).
    void SetMessage(std::vector<std::string> lines) { m_message = std::move(lines); }
    const std::vector<std::string>& Message() const { return m_message; }

    // The window as it looks now, 32-bit, ClientSize() large.
    const CImageExt& Compose();

    void MouseMove(ViewPoint point, ViewPoint screen);
    void MouseDown(ViewPoint point, ViewPoint screen, ViewPoint windowTopLeft, bool doubleClick);
    void MouseUp(ViewPoint point);
    void MouseLeave();
    void KeyDown(CZCPlayerView::Key key);

    // Where the panel sits in the window; empty while it is not shown.
    ViewRect PanelRect();

private:
    class SkinnedView;

    bool panelShown();
    void drawMessage();
    void drawTooltip();
    void onPanelCommand(int id);

    Host m_host;
    std::unique_ptr<SkinnedView> m_view;
    CPlayerNavigateDialog m_panel;
    CWindowFrame m_frame;
    CImageExt m_window;
    ViewPoint m_client;
    std::vector<std::string> m_message;
    bool m_panelHasMouse = false;
    bool m_panelPressed = false;
};

}  // namespace lumenreel
