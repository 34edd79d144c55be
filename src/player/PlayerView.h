#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <vector>

#include "images/ImageExt.h"
#include "images/Resampler.h"
#include "player/DocumentSoundListener.h"
#include "player/FrameChanges.h"
#include "player/NavigateInterface.h"
#include "player/PlayerHost.h"
#include "player/ViewGeometry.h"

class CPlayerNavigateDialog;

// The player view without a window: the clock on its 25 ms tick, the moment rendered into the
// frame image, Fit rescaling, the picture centred in the movie area of a back buffer, full
// screen and the panel's auto-hide. It holds the transport, ticks the panel it is given and
// draws the window frame through the painter it is given. The shell feeds it ticks, sizes,
// visibility, keys and the mouse, answers its host's questions and shows the back buffer.
class CZCPlayerView : private lumenreel::TransportListener {
public:
    static constexpr int kTimerPeriodMs = 25;
    static constexpr float kPanelHideSeconds = 2.0f;

    // The keys the view acts on; the window around it acts on others first.
    enum class Key {
        Space,
        F2,
        F12,
        Escape,
        Left,
        Right,
        Up,
        Down,
        FrameForward,
        FrameBack,
        Home,
        End,
        PageUp,
        PageDown,
        FullScreen,
        Quit,
        Loop,
        // Acted on by the window around the view.
        Mute,
        VolumeUp,
        VolumeDown,
        Slower,
        Faster,
        NormalSpeed,
        SavePicture,
        Statistics,
        Help,
        Enter,
        Other
    };
    // Arrow keys and the mouse wheel seek this far; Up and Down further.
    static constexpr float kShortSeekSeconds = 5.0f;
    static constexpr float kLongSeekSeconds = 60.0f;
    // One picture of the 25 ms tick.
    static constexpr float kFrameStepSeconds = kTimerPeriodMs / 1000.0f;
    // Back to the previous chapter, not the start of this one, within this much of its start.
    static constexpr float kChapterRestartSeconds = 1.0f;

    // Draws the skinned window frame around the movie area into the back buffer.
    using FramePainter = std::function<void(CImageExt& backBuffer, const lumenreel::Rect&)>;

    explicit CZCPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source = {});
    ~CZCPlayerView() override;

    // Objects handed over are not owned and must outlive the view; without a host nothing is
    // asked of a window system, without a panel none is ticked or kept in step.
    void SetHost(lumenreel::PlayerHost* host) { m_host = host; }
    void SetPanel(CPlayerNavigateDialog* panel) { m_panel = panel; }
    void SetFramePainter(FramePainter painter) { m_framePainter = std::move(painter); }

    CZCPlayerView_navigateInterface& Transport() { return m_transport; }
    bool HasMovie() const { return m_transport.HasMovie(); }

    void SetExternalReader(NKWXDecodersEncoders::CExternalFormatReader* reader);
    void SetDocument(lumenreel::CZephyrcastBaseDocument* document);
    void Unload();
    void AfterLoad();

    void StartTimer();
    // One tick of the 25 ms timer.
    void OnTimer();
    void ClockStep();

    void RenderAt(float t);
    // Scales the whole frame image.
    void Rescale();
    lumenreel::Rect MovieRect() const;
    void EnsureBackBuffer();
    // Composes the back buffer as a paint would; the shell shows it whole. The movie area is
    // drawn again only when its picture or place changed since the last paint.
    const CImageExt& Paint();
    // Draws into the back buffer outside Paint; a draw that says it drew counts as a change.
    bool DrawIntoBackBuffer(const std::function<bool(CImageExt&)>& draw);

    void SetFullScreen(bool flag);
    void ToggleFullScreen();
    bool IsFullScreen() const { return fullScreen; }
    void ShowPanel(bool flag);
    void AutoHideCheck();
    void CreatePanelWindow();
    // The panel window's height, known from its layout before it is created.
    void SetPanelHeight(int height);
    // Where the panel sits in the client area; empty while it is not shown or there is none.
    lumenreel::Rect PanelRect() const;

    // Fit and full screen scale the movie to the area keeping its proportions; the stretch
    // over the whole area is the older choice, kept on request.
    enum class FitMode { KeepAspect, Stretch };
    void SetFitMode(FitMode mode);
    FitMode GetFitMode() const { return fitMode; }
    // A scale this close to the movie scale shows the movie at it: a slight resample only blurs it.
    static constexpr double kUnscaledTolerance = 0.02;
    // Device pixels a movie pixel when the movie is not fitted to the area (a HiDPI screen's
    // scale, so the movie keeps its size beside the skin); 1 shows it 1:1.
    void SetMovieScale(int scale);
    int MovieScale() const { return movieScale; }
    void SetFitChecked(bool flag);
    // Who scales the movie to its area: the view, resampling on the processor (exact, and what
    // the tests see), or whoever shows the back buffer, drawing GetMovieLayer() under it.
    void SetPresenterScales(bool flag);
    // The movie picture for the presenter to scale and where it goes; the back buffer is
    // transparent there. Nothing while the view draws the movie itself.
    struct MovieLayer {
        const CImageExt* picture;
        lumenreel::Rect destination;
        // Changes with every moment rendered into the picture.
        std::uint64_t version;
    };
    std::optional<MovieLayer> GetMovieLayer() const;
    bool IsFitChecked() const { return panel.fitChecked; }
    // The panel's quality switch is always on once it exists.
    bool IsHighQuality() const { return panel.exists; }

    void OnKeyDown(Key key);
    // A wheel turn seeks by notches (positive forward).
    void OnWheel(int notches);
    // Seeks within the movie (never wrapping with loop on); the end pauses there.
    void SeekTo(float t);
    // The start times of the movie's frames, its chapters.
    float PreviousChapterStart() const;
    float NextChapterStart() const;
    void OnDoubleClick() { ToggleFullScreen(); }
    void OnMousePress() { ShowPanel(!autoHidePanel); }

    void SetClientSize(int width, int height);
    lumenreel::Size ClientSize() const { return {clientWidth, clientHeight}; }
    void SetVisible(bool flag) { visible = flag; }
    bool IsVisible() const { return visible; }
    void SetWindowFrameMetrics(const lumenreel::WindowFrameMetrics& metrics);

    const lumenreel::PanelState& GetPanel() const { return panel; }
    const CImageExt& GetFrameImage() const { return frameImage; }
    const CImageExt& GetScaledImage() const { return scaledImage; }
    const CImageExt& GetBackBuffer() const { return backBuffer; }
    // Changes whenever the back buffer's pixels may have changed.
    std::uint64_t BackBufferVersion() const { return backBufferVersion; }
    // The parts of the back buffer drawn since it was at version `since`, when only parts were;
    // nothing when more may have changed. Counts from the current version at the next call.
    std::optional<std::vector<lumenreel::Rect>> TakeBackBufferChanges(std::uint64_t since);
    bool IsTimerStarted() const { return timerStarted; }
    // How long the last moment took to render and scale, in milliseconds of real time.
    double LastRenderMilliseconds() const { return lastRenderMs; }
    // How far the sound heard is ahead of the picture, in seconds; nothing while no sound plays.
    std::optional<float> AudioOffset() const;

private:
    void FullScreenRequested(bool flag) override { SetFullScreen(flag); }
    void Stopped() override;

    // The steps of one tick, in the order OnTimer runs them.
    void followScreen();
    bool scalesToArea() const { return IsFitChecked() || fullScreen; }
    // The picture shown is the scaled image, not the frame image itself.
    bool showsScaled() const;
    bool isMovieHidden() const { return HasMovie() && !visible; }
    void holdWhileHidden();
    void refreshPanel();
    void pollDeferredSound();
    void followPanelVisibility();
    void present();

    void invalidate(bool erase);
    lumenreel::Size scaledSize() const;
    // The movie goes to the presenter as a layer: it asked to scale, and the movie needs it.
    bool layered() const;
    // Where a picture of that size sits in the movie area: centred, or from the area's top-left
    // corner when larger.
    lumenreel::Rect placed(lumenreel::Size size) const;
    int resampleMode() const;
    void rescaleChanges();
    void paintChangedParts(const CImageExt& picture, int x, int y, const lumenreel::Rect& area);
    void backBufferChanged();
    std::uint32_t now() const { return m_clock.now(); }
    CDocImp& source() const { return m_transport.GetSource(); }

    lumenreel::TickClock& m_clock;
    CZCPlayerView_navigateInterface m_transport;
    // Only while a document is the movie.
    std::unique_ptr<lumenreel::DocumentSoundListener> m_documentSound;
    lumenreel::PlayerHost* m_host = nullptr;
    CPlayerNavigateDialog* m_panel = nullptr;
    FramePainter m_framePainter;
    CImageExt frameImage;
    CImageExt scaledImage;
    // The frame image scaledImage was resampled from, to find what a new moment changed.
    lumenreel::FrameChanges scaledFrom;
    std::optional<lumenreel::ResampleReach> scaledReach;
    // Parts of scaledImage resampled since the back buffer last showed it.
    std::vector<lumenreel::Rect> scaledParts;
    CImageExt backBuffer;
    // The back buffer parts drawn since version backBufferChangesFrom.
    std::vector<lumenreel::Rect> backBufferChanges;
    std::uint64_t backBufferChangesFrom = 0;
    float lastRenderedTime = -1.0f;
    bool lastRenderedFit = false;
    FitMode fitMode = FitMode::KeepAspect;
    int movieScale = 1;
    bool presenterScales = false;
    std::uint64_t frameVersion = 0;
    double lastRenderMs = 0.0;
    bool movieAreaPainted = false;
    std::uint64_t backBufferVersion = 0;
    bool fullScreen = false;
    bool autoHidePanel = false;
    std::uint32_t lastTick = 0;
    std::uint32_t lastActivity = 0;
    std::optional<lumenreel::Point> lastCursor;
    std::optional<lumenreel::Point> m_cursor;
    bool timerStarted = false;
    bool visible = true;
    int clientWidth = 0;
    int clientHeight = 0;
    lumenreel::Rect screenRect;
    lumenreel::WindowFrameMetrics frame;
    lumenreel::PanelState panel;
};
