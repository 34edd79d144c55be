#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "player/SkinFiles.h"
#include "player/TransparentButton.h"
#include "player/ViewGeometry.h"

class CRBFileSystem;
class CTranslateInterface;
class CZCPlayerView_navigateInterface;

// The skinned control panel along the bottom of the view: transport buttons, the position slider
// and the time text. It holds plain state and draws itself into a 32-bit picture; the shell feeds
// it mouse events in panel pixels, keys and timer ticks, and shows Picture().
class CPlayerNavigateDialog {
public:
    enum ButtonId : int {
        kPlay = 1200,
        kStop = 1201,
        kPause = 1202,
        kRewind = 1203,
        kForward = 1204,
        kFit = 1205,
        kLoop = 1207,
        kRecord = 1208,
        kFullScreen = 1209,
    };
    static constexpr int kDefaultWidth = 427;
    static constexpr int kDefaultHeight = 45;
    // A tooltip shows once the mouse has rested on a button for this many Refresh ticks.
    static constexpr int kTooltipDelayTicks = 20;
    // The played part of the groove and the ticks where the movie's frames start (0xAARRGGBB).
    static constexpr std::uint32_t kPlayedColour = 0xFF2E82F8;
    static constexpr std::uint32_t kChapterTickColour = 0xFFA8B0BA;
    enum class Key { Space, Other };

    struct Tooltip {
        std::string text;
        lumenreel::Rect anchor;  // the button's rectangle in panel pixels

        friend bool operator==(const Tooltip&, const Tooltip&) = default;
    };

    CPlayerNavigateDialog();

    // Objects handed over are not owned and must outlive the panel.
    void SetTransport(CZCPlayerView_navigateInterface* transport) { m_transport = transport; }
    void SetTranslator(CTranslateInterface* translator) { m_translator = translator; }
    // Without a package the skin is read from the "Player Skin" folder below diskBase.
    void SetSkin(CRBFileSystem* package) { m_skin.package = package; }
    void SetSkinFolderBase(std::filesystem::path diskBase) {
        m_skin.diskBase = std::move(diskBase);
    }
    // The panel is drawn at this many device pixels a skin pixel (its pictures, layout and text);
    // set before LoadSkin. Everything the panel takes and gives is in device pixels.
    void SetScale(int scale) { m_skin.scale = std::max(scale, 1); }
    int Scale() const { return m_skin.scale; }
    // Reads the panel's pictures and layout from the skin.
    void LoadSkin();
    // Places the buttons, sizes the panel to its default, sets the tooltip texts and the Loop
    // check from the transport.
    void Create();
    bool IsCreated() const { return m_created; }
    // Runs after a button's action, so the shell can follow (Fit, full screen).
    void SetCommandListener(std::function<void(int id)> listener) {
        m_listener = std::move(listener);
    }

    // One timer tick: the buttons follow the transport; a running drag seeks.
    void Refresh();
    void SetFitChecked(bool flag);
    bool IsFitChecked() const;
    bool IsHighQuality() const { return true; }
    void SetFullScreenChecked(bool flag, bool notify);
    void SetRecordChecked(bool flag, bool notify);
    void EnableSeeking(bool flag);
    int Height() const { return m_height; }
    int Width() const { return m_width; }
    void SetWidth(int width);

    void OnMouseMove(lumenreel::Point point);
    void OnLButtonDown(lumenreel::Point point);
    void OnLButtonUp(lumenreel::Point point);
    void OnMouseLeave();
    void OnKeyDown(Key key);

    // The panel as it looks now, Width() × Height(), 32-bit.
    const CImageExt& Picture();
    std::optional<Tooltip> CurrentTooltip() const;

    // Geometry in panel pixels.
    int PanelWidth() const;
    int Extra() const;
    lumenreel::Rect TrackRect() const;
    lumenreel::Rect PointerRect() const;
    lumenreel::Rect TextRect() const;
    // The pointer's reach along the track: a press there seeks, the mouse over it shows its time.
    lumenreel::Rect TrackHitRect() const;
    float TimeAtPixel(int x) const;
    // The centre of the pointer when it shows time t.
    int PixelAtTime(float t) const;
    // The time under the mouse while it is over the track, or of the pointer it drags.
    std::optional<float> HoverTime() const;
    bool IsDragging() const { return m_dragging; }

    CTransparentButton* Button(int id);
    const CTransparentButton* Button(int id) const;
    const lumenreel::SkinLayout& Layout() const { return m_layout; }

private:
    void placeButtons();
    void command(CTransparentButton& button);
    void drawBody();
    void drawTrackMarks();
    void drawTimeText();
    void startDrag(int pointerOffset, int mouseX);
    // The pointer's left edge that puts its centre under the mouse, kept on the track.
    int pointerOffsetUnder(int mouseX) const;
    std::optional<Tooltip> hoverTimeTooltip() const;
    std::string translate(const std::string& key) const;

    CZCPlayerView_navigateInterface* m_transport = nullptr;
    CTranslateInterface* m_translator = nullptr;
    lumenreel::SkinSource m_skin;
    std::function<void(int)> m_listener;
    lumenreel::SkinLayout m_layout;
    std::vector<CTransparentButton> m_buttons;
    CImageExt m_bodyStart;
    CImageExt m_bodyEnd;
    CImageExt m_bodyTile;
    CImageExt m_pointer;
    CImageExt m_body;     // the background at the panel's size
    CImageExt m_picture;  // the body with the pointer, the time and the buttons
    bool m_created = false;
    int m_width = kDefaultWidth;
    int m_height = kDefaultHeight;

    bool m_dragging = false;
    int m_dragStartMouseX = 0;
    int m_dragPointerOffset = 0;
    float m_dragTime = 0.0f;
    bool m_savedScrubbing = false;
    bool m_seekEnabled = true;

    std::optional<int> m_trackHoverX;  // the mouse over the track, in panel pixels
    int m_hoverButton = 0;             // id of the button under the mouse, 0 for none
    int m_hoverTicks = 0;
    bool m_tooltipSuppressed = false;  // until the mouse moves to another button
};
