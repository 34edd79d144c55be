#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "player/SkinnedPlayerView.h"
#include "sound/OutputDevice.h"

class CRBFileSystem;
class CTranslateInterface;

namespace lumenreel {

// The whole player window without a toolkit: the skinned view with its frame and control panel
// composed into one picture with the on-screen message and the panel's tooltip, and the mouse
// and keys routed to whichever part is under them.
// Coordinates are window pixels unless named screen.
class PlayerWindow {
public:
    PlayerWindow(TickClock& clock, OutputDeviceFactory devices);

    // The view's, the frame's and the window's requests go to the host, which is not owned.
    void SetHost(PlayerHost& host);
    // Objects handed over are not owned. Without a package the skin comes from the disk.
    void SetSkin(CRBFileSystem* package, CTranslateInterface* translator);

    CSkinnedPlayerView& View() { return m_view; }
    CPlayerNavigateDialog& Panel() { return m_view.Panel(); }
    CWindowFrame& Frame() { return m_view.Frame(); }

    void SetClientSize(int width, int height);
    Size ClientSize() const { return m_view.ClientSize(); }
    void OnTimer() { m_view.OnTimer(); }

    // Lines shown in the middle of the movie area while no movie plays (why, or what to do).
    void SetMessage(std::vector<std::string> lines);
    const std::vector<std::string>& Message() const { return m_message; }

    // Composes the window as it looks now; false when it looked the same at the last call, so
    // there is nothing new to show (a paused movie costs no drawing).
    bool Compose();
    // The window as last composed, 32-bit, ClientSize() large.
    const CImageExt& Picture() const { return m_window; }

    void MouseMove(Point point, Point screen);
    void MouseDown(Point point, Point screen, Point windowTopLeft, bool doubleClick);
    void MouseUp(Point point);
    void MouseLeave();
    void KeyDown(CZCPlayerView::Key key);

private:
    void drawMessage();
    void drawTooltip(const CPlayerNavigateDialog::Tooltip& tip, const Rect& panel);

    PlayerHost* m_host = nullptr;
    CSkinnedPlayerView m_view;
    CImageExt m_window;
    std::vector<std::string> m_message;
    // What the last composition showed, to tell whether the next one would differ.
    struct Shown {
        bool valid = false;
        std::uint64_t backBufferVersion = 0;
        Rect panelRect;
        CImageExt panel;
        std::optional<CPlayerNavigateDialog::Tooltip> tooltip;
    };
    Shown m_shown;
    bool m_panelHasMouse = false;
    bool m_panelPressed = false;
};

}  // namespace lumenreel
