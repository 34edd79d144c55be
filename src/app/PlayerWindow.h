#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ContextMenu.h"
#include "app/FileList.h"
#include "app/OverlayBox.h"
#include "images/ImageExt.h"
#include "player/SkinnedPlayerView.h"
#include "sound/OutputDevice.h"
#include "sound/PlaybackSpeed.h"
#include "sound/SoundGain.h"

class CRBFileSystem;
class CTranslateInterface;

namespace lumenreel {

// The whole player window without a toolkit: the skinned view with its frame and control panel
// composed into one picture with the on-screen message, notices, the help and statistics
// overlays, the built-in file list and the panel's tooltip, and the mouse and keys routed to
// whichever part is under them. It holds the volume the movie's sound plays at.
// Coordinates are window pixels unless named screen.
class PlayerWindow {
public:
    PlayerWindow(TickClock& clock, OutputDeviceFactory devices);

    // The view's, the frame's and the window's requests go to the host, which is not owned.
    void SetHost(PlayerHost& host);
    // The window at this many device pixels a skin pixel (a HiDPI screen's scale): skin, movie and
    // overlays. Set before SetSkin.
    void SetDeviceScale(int scale);
    int DeviceScale() const { return m_view.DeviceScale(); }
    // Objects handed over are not owned. Without a package the skin comes from the disk.
    void SetSkin(CRBFileSystem* package, CTranslateInterface* translator);

    CSkinnedPlayerView& View() { return m_view; }
    CPlayerNavigateDialog& Panel() { return m_view.Panel(); }
    CWindowFrame& Frame() { return m_view.Frame(); }

    // A message the user must read stays this long, unless the next key or click ends it first.
    static constexpr std::uint32_t kMessageLifetimeMs = 8000;
    // A notice ("Volume 40 %") stays this long.
    static constexpr std::uint32_t kNoticeLifetimeMs = 2000;

    void SetClientSize(int width, int height);
    Size ClientSize() const { return m_view.ClientSize(); }
    void OnTimer();

    // Lines shown in the middle of the movie area: what to do (kept until replaced), or why
    // something failed (timed: gone after kMessageLifetimeMs or at the next action).
    void SetMessage(std::vector<std::string> lines, bool timed = false);
    const std::vector<std::string>& Message() const { return m_message; }
    // A short line in the top-left corner that goes by itself.
    void ShowNotice(std::string text);
    const std::string& Notice() const { return m_notice; }
    bool IsHelpShown() const { return m_helpShown; }
    bool AreStatisticsShown() const { return m_statisticsShown; }
    // The lines the statistics overlay shows now.
    std::vector<std::string> StatisticsLines() const;
    SoundGain& Gain() { return *m_gain; }
    float Speed() const { return m_speed->value(); }

    // Composes the window as it looks now; false when it looked the same at the last call, so
    // there is nothing new to show (a paused movie costs no drawing).
    bool Compose();
    // The window as last composed, 32-bit, ClientSize() large.
    const CImageExt& Picture() const { return m_window; }
    // The parts the last compose drew, when it drew only parts; nothing when it drew the whole.
    const std::optional<std::vector<Rect>>& ComposedParts() const { return m_composedParts; }

    void MouseMove(Point point, Point screen);
    void MouseDown(Point point, Point screen, Point windowTopLeft, bool doubleClick);
    void MouseUp(Point point);
    void MouseLeave();
    void MouseWheel(int notches);
    // Opens the menu of what the window can do where the mouse is.
    void RightClick(Point point);
    void KeyDown(CZCPlayerView::Key key);

    enum MenuCommand {
        kMenuOpen = 1,
        kMenuLoop,
        kMenuFit,
        kMenuFullScreen,
        kMenuSlower,
        kMenuFaster,
        kMenuNormalSpeed,
        kMenuAbout
    };
    const ContextMenu& Menu() const { return m_menu; }
    // What the menu's Open does (the dialog's chooser); without one, Open is not offered.
    void SetOpenAction(std::function<void()> open) { m_open = std::move(open); }

    // The built-in file list over the movie, in that folder; it takes the list's keys and the
    // clicks on it until it closes. A movie chosen in it goes to the action.
    void ShowFileList(const std::filesystem::path& folder);
    const FileList& Files() const { return m_fileList; }
    void SetMovieChosenAction(std::function<void(const std::filesystem::path&)> chosen) {
        m_movieChosen = std::move(chosen);
    }

private:
    void composeWhole(const CImageExt& back, const CImageExt* panel, const Rect& panelRect,
                      const std::optional<CPlayerNavigateDialog::Tooltip>& tooltip);
    void composeParts(const CImageExt& back, const std::vector<Rect>& parts, const CImageExt* panel,
                      const Rect& panelRect);
    // Messages, notices, statistics, help or the menu lie over the movie area.
    bool drawsOverMovie() const;
    void drawOverlays();
    void drawTooltip(const CPlayerNavigateDialog::Tooltip& tip, const Rect& panel);
    void overlaysChanged() { ++m_overlayVersion; }
    void expireOverlays();
    // A key or a click: a timed message has been seen.
    void userActed();
    void changeVolume(int steps);
    void setSpeed(float factor);
    void runMenuCommand(int command);
    // True when the key was the file list's.
    bool fileListKey(CZCPlayerView::Key key);
    void actOnFileList(std::optional<std::filesystem::path> chosen);

    TickClock& m_clock;
    PlayerHost* m_host = nullptr;
    std::shared_ptr<SoundGain> m_gain = std::make_shared<SoundGain>();
    std::shared_ptr<PlaybackSpeed> m_speed = std::make_shared<PlaybackSpeed>();
    CSkinnedPlayerView m_view;
    CImageExt m_window;
    std::vector<std::string> m_message;
    std::optional<std::uint32_t> m_messageShownAt;  // for a timed message
    std::string m_notice;
    std::uint32_t m_noticeShownAt = 0;
    bool m_helpShown = false;
    bool m_statisticsShown = false;
    // Ticks of the compositions that showed something new, the last second's worth.
    std::vector<std::uint32_t> m_shownTicks;
    std::uint64_t m_overlayVersion = 0;
    // What the last composition showed, to tell whether the next one would differ.
    struct Shown {
        bool valid = false;
        std::uint64_t backBufferVersion = 0;
        std::uint64_t overlayVersion = 0;
        Rect panelRect;
        CImageExt panel;
        std::optional<CPlayerNavigateDialog::Tooltip> tooltip;
    };
    Shown m_shown;
    std::optional<std::vector<Rect>> m_composedParts;
    ContextMenu m_menu;
    std::function<void()> m_open;
    FileList m_fileList;
    std::function<void(const std::filesystem::path&)> m_movieChosen;
    bool m_panelHasMouse = false;
    bool m_panelPressed = false;
};

}  // namespace lumenreel
