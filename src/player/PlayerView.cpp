#include "player/PlayerView.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "images/PixelBlit.h"
#include "images/Resampler.h"
#include "player/PanelNavigateDialog.h"

using lumenreel::Rect;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
// Where the presenter's movie layer shows through the back buffer.
constexpr std::uint32_t kClear = 0x00000000;
// Resampling quality of the frame image, as the panel's quality switch selects it.
constexpr int kHighQualityMode = 1;
constexpr int kLowQualityMode = 5;

// Blacks out the area except the inner rectangle, which the picture is about to cover.
void fillAround(const PixelView& target, const Rect& area, const Rect& inner) {
    using lumenreel::fillPixels;
    fillPixels(target, area.left, area.top, area.width(), inner.top - area.top, kBlack);
    fillPixels(target, area.left, inner.bottom, area.width(), area.bottom - inner.bottom, kBlack);
    fillPixels(target, area.left, inner.top, inner.left - area.left, inner.height(), kBlack);
    fillPixels(target, inner.right, inner.top, area.right - inner.right, inner.height(), kBlack);
}

}  // namespace

CZCPlayerView::CZCPlayerView(lumenreel::TickClock& clock, std::unique_ptr<CDocImp> source)
    : m_clock(clock), m_transport(clock, std::move(source)) {
    m_transport.SetListener(this);
    m_transport.Reset();
}

CZCPlayerView::~CZCPlayerView() {
    if (timerStarted)
        source().PauseSound(true);
}

void CZCPlayerView::invalidate(bool erase) {
    if (m_host)
        m_host->Invalidate(erase);
}

void CZCPlayerView::SetExternalReader(NKWXDecodersEncoders::CExternalFormatReader* reader) {
    Unload();
    source().SetReader(reader);
    AfterLoad();
}

void CZCPlayerView::SetDocument(lumenreel::CZephyrcastBaseDocument* document) {
    Unload();
    source().SetDocument(document);
    // The sound is made again from the changed soundtrack at the next Play.
    if (document)
        m_documentSound =
            std::make_unique<lumenreel::DocumentSoundListener>(this, *document, [this] {
                m_transport.Pause();
                source().ReleaseSound();
            });
    AfterLoad();
}

void CZCPlayerView::Unload() {
    m_documentSound.reset();
    frameImage.destroy();
    scaledImage.destroy();
    scaledFrom.Forget();
    source().SetReader(nullptr);
    lastRenderedTime = -1.0f;
}

void CZCPlayerView::AfterLoad() {
    m_transport.Reset();
    movieAreaPainted = false;
    lastTick = now();
    if (source().IsLoaded()) {
        m_transport.SetDuration(source().Duration());
        CDocImp::Size size = source().BitmapSize();
        frameImage.create(size.width, size.height, 32);
    }
    if (!panel.exists)
        CreatePanelWindow();
    ShowPanel(true);
    lastCursor = m_cursor;
}

void CZCPlayerView::StartTimer() {
    bool wasPlaying = m_transport.IsPlaying();
    // Applying the movie again resets the transport; the loop chosen for it stays.
    const bool wasLoop = m_transport.IsLoop();
    timerStarted = true;
    // The movie handed over before the window existed is applied again now that it does.
    if (lumenreel::CZephyrcastBaseDocument* document = source().GetDocument())
        SetDocument(document);
    else
        SetExternalReader(source().GetReader());
    m_transport.SetLoop(wasLoop);
    if (wasPlaying)
        m_transport.Play();
}

// Every step of a tick, in order; a hidden window holds the movie where it is.
void CZCPlayerView::OnTimer() {
    followScreen();
    if (isMovieHidden()) {
        holdWhileHidden();
    } else {
        refreshPanel();
        if (HasMovie()) {
            ClockStep();
            RenderAt(m_transport.GetTime());
            pollDeferredSound();
            followPanelVisibility();
        }
    }
    present();
}

// Where the window, its panel and the mouse are on the screen, for the panel's auto-hide.
void CZCPlayerView::followScreen() {
    if (!m_host)
        return;
    screenRect = m_host->WindowScreenRect();
    m_cursor = m_host->CursorPosition();
    if (const Rect rect = PanelRect(); rect.width() > 0)
        panel.screenRect = {screenRect.left + rect.left, screenRect.top + rect.top,
                            screenRect.left + rect.right, screenRect.top + rect.bottom};
}

void CZCPlayerView::holdWhileHidden() {
    m_transport.DeferSoundRestart();
    lastTick = lastActivity = now();
    ShowPanel(false);
}

// The panel's buttons follow the transport, its drag seeks, and its hover counts towards the
// tooltip, with or without a movie.
void CZCPlayerView::refreshPanel() {
    if (m_panel)
        m_panel->Refresh();
}

void CZCPlayerView::pollDeferredSound() {
    if (m_transport.IsPlaying())
        m_transport.PollDeferredSound();
}

void CZCPlayerView::followPanelVisibility() {
    if (fullScreen)
        AutoHideCheck();
    else
        ShowPanel(true);
}

void CZCPlayerView::present() {
    if (m_host)
        m_host->Present();
}

void CZCPlayerView::ClockStep() {
    const std::uint32_t tick = now();
    float delta = static_cast<float>(lumenreel::ticksBetween(lastTick, tick)) / 1000.0f;
    lastTick = tick;
    CZCPlayerView_navigateInterface& transport = m_transport;
    if (transport.GetTime() == 0.0f) {
        // A stopped movie rests just after its start, so the next render sees a new time.
        transport.SetTime(0.000001f);
        return;
    }
    if (!transport.IsPlaying() || transport.IsPaused() || transport.IsScrubbing())
        return;
    float requested = transport.GetTime() + delta * transport.GetSpeed();
    transport.SetTime(requested);
    if (transport.GetTime() < requested && !transport.IsPaused())
        source().StartSound(transport.GetTime(), 0);
}

void CZCPlayerView::RenderAt(float t) {
    if (!source().IsLoaded() || source().IsEmpty())
        return;
    bool fit = scalesToArea();
    if (t == lastRenderedTime && fit == lastRenderedFit)
        return;
    const auto started = std::chrono::steady_clock::now();
    const auto measure = [this, started] {
        lastRenderMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
    };
    source().RenderAt(t, frameImage);
    ++frameVersion;
    lastRenderedTime = t;
    lastRenderedFit = fit;
    // A layer changes under the back buffer, which stays as it was.
    if (layered()) {
        measure();
        return;
    }
    if (!showsScaled()) {
        movieAreaPainted = false;
        measure();
        invalidate(false);
        return;
    }
    rescaleChanges();
    measure();
    invalidate(false);
}

std::optional<float> CZCPlayerView::AudioOffset() const {
    CSoundResource* sound = source().GetSound();
    if (!sound || !m_transport.IsPlaying() || m_transport.IsPaused() ||
        m_transport.SoundRestartDue() != 0 || !sound->IsPlaying())
        return std::nullopt;
    return sound->Position() - m_transport.GetTime();
}

lumenreel::Size CZCPlayerView::scaledSize() const {
    Rect area = MovieRect();
    CDocImp::Size display = source().DisplaySize();
    int width = static_cast<int>(area.width()), height = static_cast<int>(area.height());
    const bool stretch = fitMode == FitMode::Stretch && source().BitmapSize() == display &&
                         (scalesToArea() || movieScale == 1);
    if (!stretch) {
        width = lumenreel::clampToInt(std::int64_t{display.width} * movieScale);
        height = lumenreel::clampToInt(std::int64_t{display.height} * movieScale);
        if (scalesToArea() && display.width > 0 && display.height > 0) {
            double s = std::min(static_cast<double>(area.width()) / display.width,
                                static_cast<double>(area.height()) / display.height);
            if (std::abs(s / movieScale - 1.0) < kUnscaledTolerance && width <= area.width() &&
                height <= area.height())
                s = movieScale;
            width = static_cast<int>(std::max(1.0, display.width * s));
            height = static_cast<int>(std::max(1.0, display.height * s));
        }
    }
    return {width, height};
}

bool CZCPlayerView::showsScaled() const {
    return scalesToArea() || movieScale != 1 || source().BitmapSize() != source().DisplaySize();
}

void CZCPlayerView::SetMovieScale(int scale) {
    movieScale = std::max(scale, 1);
    lastRenderedTime = -1.0f;
    movieAreaPainted = false;
}

// Only enlargements: a renderer's smooth filter reads the four nearest pixels, so shrinking there
// would skip some where our resampler averages them all.
bool CZCPlayerView::layered() const {
    if (!presenterScales || frameImage.isNull() || !source().IsLoaded() || source().IsEmpty())
        return false;
    const lumenreel::Size size = scaledSize();
    const bool larger = size.width >= frameImage.width() && size.height >= frameImage.height();
    return larger && size != lumenreel::Size{frameImage.width(), frameImage.height()};
}

void CZCPlayerView::SetPresenterScales(bool flag) {
    presenterScales = flag;
    lastRenderedTime = -1.0f;
    movieAreaPainted = false;
}

std::optional<CZCPlayerView::MovieLayer> CZCPlayerView::GetMovieLayer() const {
    if (!layered())
        return std::nullopt;
    const lumenreel::Size size = scaledSize();
    return MovieLayer{&frameImage, placed(size), frameVersion};
}

Rect CZCPlayerView::placed(lumenreel::Size size) const {
    const Rect area = MovieRect();
    const int x =
        area.left + static_cast<int>(std::max<std::int64_t>(0, (area.width() - size.width) / 2));
    const int y =
        area.top + static_cast<int>(std::max<std::int64_t>(0, (area.height() - size.height) / 2));
    return {x, y, x + size.width, y + size.height};
}

int CZCPlayerView::resampleMode() const {
    // A whole multiple of the movie's pixels keeps screen text sharp: each pixel becomes a block.
    const CDocImp::Size display = source().DisplaySize();
    const lumenreel::Size size = scaledSize();
    const bool wholeMultiple = source().BitmapSize() == display && display.width > 0 &&
                               size.width > display.width && size.width % display.width == 0 &&
                               size.height == size.width / display.width * display.height;
    if (wholeMultiple)
        return kLowQualityMode;
    return IsHighQuality() ? kHighQualityMode : kLowQualityMode;
}

void CZCPlayerView::Rescale() {
    if (frameImage.isNull())
        return;
    const lumenreel::Size size = scaledSize();
    movieAreaPainted = false;
    // Every pixel is written anew, so a picture of the right size is kept rather than made again.
    const bool reusable = scaledImage.width() == size.width &&
                          scaledImage.height() == size.height && scaledImage.bpp() == 32;
    if (!reusable && !scaledImage.create(size.width, size.height, 32)) {
        scaledFrom.Forget();
        return;
    }
    lumenreel::resample(frameImage.view(), scaledImage.view(), resampleMode());
    scaledFrom.Look(frameImage);
    const lumenreel::Size from{frameImage.width(), frameImage.height()};
    if (!scaledReach || !scaledReach->isFor(from, size, resampleMode()))
        scaledReach.emplace(from, size, resampleMode());
}

// Only what the moment changed is resampled again, each part exactly as a whole rescale gives
// it; a moment like the last costs a comparison and is not shown again.
void CZCPlayerView::rescaleChanges() {
    const lumenreel::Size from{frameImage.width(), frameImage.height()};
    const lumenreel::Size size = scaledSize();
    if (scaledImage.isNull() || scaledImage.width() != size.width ||
        scaledImage.height() != size.height || !scaledReach ||
        !scaledReach->isFor(from, size, resampleMode())) {
        Rescale();
        return;
    }
    for (const Rect& changed : scaledFrom.Look(frameImage)) {
        const Rect part = scaledReach->targetOf(changed);
        lumenreel::resamplePart(frameImage.view(), scaledImage.view(), resampleMode(), part);
        scaledParts.push_back(part);
    }
}

Rect CZCPlayerView::MovieRect() const {
    Rect client{0, 0, clientWidth, clientHeight};
    if (fullScreen)
        return client;
    int panelHeight = panel.exists ? panel.height : 0;
    return {client.left + frame.leftFillWidth, client.top + frame.upperRightHeight,
            client.right - frame.rightFillWidth,
            client.bottom - panelHeight - frame.bottomFillHeight};
}

void CZCPlayerView::EnsureBackBuffer() {
    if (!backBuffer.isNull() &&
        (backBuffer.width() != clientWidth || backBuffer.height() != clientHeight))
        backBuffer.destroy();
    if (!backBuffer.isNull() || !backBuffer.createForOverwrite(clientWidth, clientHeight, 32))
        return;
    movieAreaPainted = false;
    backBufferChanged();
    lumenreel::fillPixels(backBuffer.view(), 0, 0, clientWidth, clientHeight, kBlack);
    if (!fullScreen && m_framePainter)
        m_framePainter(backBuffer, MovieRect());
}

const CImageExt& CZCPlayerView::Paint() {
    if (!timerStarted)
        StartTimer();
    Rect area = MovieRect();
    if (!source().IsLoaded() || source().IsEmpty()) {
        EnsureBackBuffer();
        // With nothing loaded, what an earlier movie left in the area goes once.
        if (!movieAreaPainted && !backBuffer.isNull()) {
            lumenreel::fillPixels(backBuffer.view(), area.left, area.top, area.width(),
                                  area.height(), kBlack);
            movieAreaPainted = true;
            backBufferChanged();
        }
        return backBuffer;
    }
    if (frameImage.isNull())
        return backBuffer;
    const bool layer = layered();
    bool scaled = !layer && !scaledImage.isNull() && showsScaled();
    const CImageExt& picture = scaled ? scaledImage : frameImage;
    const Rect at =
        placed(layer ? scaledSize() : lumenreel::Size{picture.width(), picture.height()});
    const int x = at.left, y = at.top;
    EnsureBackBuffer();
    if (movieAreaPainted) {
        if (scaled)
            paintChangedParts(picture, x, y, area);
        scaledParts.clear();
        return backBuffer;
    }
    movieAreaPainted = true;
    scaledParts.clear();
    backBufferChanged();
    const Rect covered{x, y, std::min(area.right, at.right), std::min(area.bottom, at.bottom)};
    fillAround(backBuffer.view(), area, covered);
    if (layer)
        lumenreel::fillPixels(backBuffer.view(), covered.left, covered.top, covered.width(),
                              covered.height(), kClear);
    else
        lumenreel::copyPixels(picture.view(), backBuffer.view(), x, y, area.width(), area.height());
    return backBuffer;
}

void CZCPlayerView::paintChangedParts(const CImageExt& picture, int x, int y, const Rect& area) {
    for (const Rect& part : scaledParts) {
        const Rect shown{x + part.left, y + part.top, std::min(area.right, x + part.right),
                         std::min(area.bottom, y + part.bottom)};
        if (shown.width() <= 0 || shown.height() <= 0)
            continue;
        const int width = static_cast<int>(shown.width()),
                  height = static_cast<int>(shown.height());
        lumenreel::copyPixels(
            lumenreel::subView(picture.view(), part.left, part.top, width, height),
            backBuffer.view(), shown.left, shown.top, width, height);
        ++backBufferVersion;
        backBufferChanges.push_back(shown);
    }
}

// A change of more than known parts: who shows the back buffer shows it whole.
void CZCPlayerView::backBufferChanged() {
    ++backBufferVersion;
    backBufferChangesFrom = backBufferVersion;
    backBufferChanges.clear();
}

std::optional<std::vector<Rect>> CZCPlayerView::TakeBackBufferChanges(std::uint64_t since) {
    std::optional<std::vector<Rect>> changes;
    if (since == backBufferChangesFrom)
        changes = std::move(backBufferChanges);
    backBufferChanges.clear();
    backBufferChangesFrom = backBufferVersion;
    return changes;
}

bool CZCPlayerView::DrawIntoBackBuffer(const std::function<bool(CImageExt&)>& draw) {
    if (!draw(backBuffer))
        return false;
    backBufferChanged();
    return true;
}

void CZCPlayerView::SetFullScreen(bool flag) {
    if (flag != fullScreen)
        ToggleFullScreen();
}

void CZCPlayerView::ToggleFullScreen() {
    backBuffer.destroy();
    fullScreen = !fullScreen;
    autoHidePanel = fullScreen;
    panel.fullScreenChecked = fullScreen;
    EnsureBackBuffer();
    if (m_host)
        m_host->FullScreenChanged(fullScreen);
    invalidate(true);
    if (m_panel)
        m_panel->SetFullScreenChecked(fullScreen, false);
}

void CZCPlayerView::ShowPanel(bool flag) {
    if (!flag) {
        panel.visible = false;
        return;
    }
    if (!visible && panel.visible)
        return;
    lastActivity = now();
    if (panel.exists)
        panel.visible = true;
}

// Both move the movie area's bottom edge, so the frame around it is drawn anew.
void CZCPlayerView::CreatePanelWindow() {
    if (!panel.exists)
        backBuffer.destroy();
    panel.exists = true;
}

void CZCPlayerView::SetPanelHeight(int height) {
    if (height != panel.height)
        backBuffer.destroy();
    panel.height = height;
}

Rect CZCPlayerView::PanelRect() const {
    if (!m_panel || !panel.exists || (!panel.visible && fullScreen))
        return {};
    return {0, clientHeight - m_panel->Height(), clientWidth, clientHeight};
}

void CZCPlayerView::AutoHideCheck() {
    if (!m_cursor)
        return;
    lumenreel::Point cursor = *m_cursor;
    if (visible) {
        if (!autoHidePanel) {
            ShowPanel(true);
        } else if ((panel.exists && panel.screenRect.contains(cursor)) ||
                   (cursor != lastCursor && screenRect.contains(cursor))) {
            lastActivity = now();
            lastCursor = cursor;
            ShowPanel(true);
        }
    }
    float idle = static_cast<float>(lumenreel::ticksBetween(lastActivity, now())) / 1000.0f;
    if (idle > kPanelHideSeconds && autoHidePanel)
        ShowPanel(false);
}

void CZCPlayerView::SetFitMode(FitMode mode) {
    fitMode = mode;
    lastRenderedTime = -1.0f;
    movieAreaPainted = false;
}

void CZCPlayerView::SetFitChecked(bool flag) {
    panel.fitChecked = flag;
    movieAreaPainted = false;
    if (m_panel)
        m_panel->SetFitChecked(flag);
}

void CZCPlayerView::SetWindowFrameMetrics(const lumenreel::WindowFrameMetrics& metrics) {
    // The movie area moves, so the frame around it is drawn anew.
    if (metrics != frame)
        backBuffer.destroy();
    frame = metrics;
}

void CZCPlayerView::SetClientSize(int width, int height) {
    clientWidth = std::max(0, width);
    clientHeight = std::max(0, height);
    movieAreaPainted = false;
    if (scalesToArea() && !layered())
        Rescale();
    if (m_panel)
        m_panel->SetWidth(clientWidth);
}

void CZCPlayerView::Stopped() {
    if (!m_panel)
        return;
    m_panel->SetRecordChecked(false, false);
    m_panel->EnableSeeking(true);
}
