#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "images/ImageExt.h"
#include "player/NavigateInterface.h"
#include "player/ViewGeometry.h"

// The player view without a window: the clock on its 25 ms tick, the moment rendered into the
// frame image, Fit rescaling, the picture centred in the movie area of a back buffer, full
// screen and the panel's auto-hide. The shell feeds it ticks, sizes, visibility, keys and the
// mouse, and shows the back buffer.
class CZCPlayerView : public CZCPlayerView_navigateInterface {
public:
    static constexpr int kTimerPeriodMs = 25;
    static constexpr float kPanelHideSeconds = 2.0f;

    enum class Key { Space, F2, F12, Other };

    // What the view asks of the window around it.
    struct Host {
        std::function<void(bool erase)> invalidate;
        std::function<void()> fullScreenChanged;  // the main window maximises or restores
        std::function<void()> closeRequested;
    };

    explicit CZCPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source = {});
    ~CZCPlayerView() override;

    void SetHost(Host host) { m_host = std::move(host); }

    void SetExternalReader(NKWXDecodersEncoders::CExternalFormatReader* reader);
    void SetDocument(CZephyrcastBaseDocument* document);
    void Unload();
    void AfterLoad();

    void StartTimer();
    // One tick of the 25 ms timer.
    void OnTimer();
    void ClockStep();

    void RenderAt(float t);
    void Rescale();
    lumenreel::ViewRect MovieRect() const;
    void EnsureBackBuffer();
    // Composes the back buffer as a paint would; the shell shows it whole. The movie area is
    // drawn again only when its picture or place changed since the last paint.
    const CImageExt& Paint();

    void SetFullScreen(bool flag) override;
    virtual void ToggleFullScreen();
    bool IsFullScreen() const { return fullScreen; }
    void ShowPanel(bool flag);
    void AutoHideCheck();
    void CreatePanelWindow();
    // The panel window's height, known from its layout before it is created.
    void SetPanelHeight(int height);

    virtual void SetFitChecked(bool flag);
    bool IsFitChecked() const { return panel.fitChecked; }
    // The panel's quality switch is always on once it exists.
    bool IsHighQuality() const { return panel.exists; }

    void OnKeyDown(Key key);
    void OnDoubleClick() { ToggleFullScreen(); }
    void OnMousePress() { ShowPanel(!autoHidePanel); }

    virtual void SetClientSize(int width, int height);
    lumenreel::ViewPoint ClientSize() const { return {clientWidth, clientHeight}; }
    void SetVisible(bool flag) { visible = flag; }
    bool IsVisible() const { return visible; }
    void SetScreenRect(lumenreel::ViewRect rect) { screenRect = rect; }
    // Where the mouse is on the screen; nothing when it cannot be read.
    void SetCursorPosition(std::optional<lumenreel::ViewPoint> cursor) { m_cursor = cursor; }
    void SetWindowFrameMetrics(const lumenreel::WindowFrameMetrics& metrics);
    void SetPanelScreenRect(lumenreel::ViewRect rect) { panel.screenRect = rect; }

    const lumenreel::PanelState& GetPanel() const { return panel; }
    const CImageExt& GetFrameImage() const { return frameImage; }
    const CImageExt& GetScaledImage() const { return scaledImage; }
    const CImageExt& GetBackBuffer() const { return backBuffer; }
    // Changes whenever the back buffer's pixels may have changed.
    std::uint64_t BackBufferVersion() const { return backBufferVersion; }
    bool IsTimerStarted() const { return timerStarted; }

protected:
    // Drawing into the back buffer outside Paint counts as a change.
    void BackBufferChanged() { ++backBufferVersion; }
    // The skinned window frame around the movie area; drawn by the skin's owner.
    virtual void DrawWindowFrame(CImageExt& /*backBuffer*/) {}
    // The panel's slider and time text follow the clock.
    virtual void RefreshPanel() {}

private:
    void invalidate(bool erase);

    Host m_host;
    CImageExt frameImage;
    CImageExt scaledImage;
    CImageExt backBuffer;
    float lastRenderedTime = -1.0f;
    bool lastRenderedFit = false;
    bool movieAreaPainted = false;
    std::uint64_t backBufferVersion = 0;
    bool fullScreen = false;
    bool autoHidePanel = false;
    std::uint32_t lastTick = 0;
    std::uint32_t lastActivity = 0;
    std::optional<lumenreel::ViewPoint> lastCursor;
    std::optional<lumenreel::ViewPoint> m_cursor;
    bool timerStarted = false;
    bool visible = true;
    int clientWidth = 0;
    int clientHeight = 0;
    lumenreel::ViewRect screenRect;
    lumenreel::WindowFrameMetrics frame;
    lumenreel::PanelState panel;
};
