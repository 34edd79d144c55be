#include "app/SdlShell.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "app/DesktopChooser.h"
#include "app/DeviceScale.h"
#include "app/DisplayResources.h"
#include "app/MovieFile.h"
#include "app/MovieScaling.h"
#include "app/PlayerDialog.h"
#include "app/RendererPresenter.h"
#include "app/SurfacePresenter.h"
#include "app/WindowEdges.h"
#include "player/TickClock.h"

namespace lumenreel {
namespace {

using MovieKind = CZephyrcastPlayerDlg::MovieKind;

// How long input may wait between two polls, in milliseconds.
constexpr Sint32 kInputPollMs = 4;

// The window system takes the (UTF-8) window title as such only under a UTF-8 character type;
// in the C locale the movie's name never reached the title bar.
void useUtf8CharacterType() {
    if (std::setlocale(LC_CTYPE, "") && std::string_view(nl_langinfo(CODESET)) == "UTF-8")
        return;
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

struct SdlSession {
    SdlSession() {
        useUtf8CharacterType();
        ok = SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    ~SdlSession() { SDL_Quit(); }
    bool ok = false;
};

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

CZCPlayerView::Key viewKey(const SDL_Keysym& key) {
    using Key = CZCPlayerView::Key;
    switch (key.sym) {
        case SDLK_SPACE:
            return Key::Space;
        case SDLK_F2:
            return Key::F2;
        case SDLK_F12:
            return Key::F12;
        case SDLK_ESCAPE:
            return Key::Escape;
        case SDLK_LEFT:
            return Key::Left;
        case SDLK_RIGHT:
            return Key::Right;
        case SDLK_UP:
            return Key::Up;
        case SDLK_DOWN:
            return Key::Down;
        case SDLK_PERIOD:
            return Key::FrameForward;
        case SDLK_COMMA:
            return Key::FrameBack;
        case SDLK_HOME:
            return Key::Home;
        case SDLK_END:
            return Key::End;
        case SDLK_PAGEUP:
            return Key::PageUp;
        case SDLK_PAGEDOWN:
            return Key::PageDown;
        case SDLK_f:
            return Key::FullScreen;
        case SDLK_q:
            return Key::Quit;
        case SDLK_l:
            return Key::Loop;
        case SDLK_m:
            return Key::Mute;
        case SDLK_9:
            return Key::VolumeDown;
        case SDLK_0:
            return Key::VolumeUp;
        case SDLK_LEFTBRACKET:
            return Key::Slower;
        case SDLK_RIGHTBRACKET:
            return Key::Faster;
        case SDLK_BACKSPACE:
            return Key::NormalSpeed;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return Key::Enter;
        case SDLK_s:
            return Key::SavePicture;
        case SDLK_i:
            return Key::Statistics;
        case SDLK_F1:
        case SDLK_QUESTION:
            return Key::Help;
        case SDLK_SLASH:
            // '?' on most layouts is Shift and '/'.
            return (key.mod & KMOD_SHIFT) ? Key::Help : Key::Other;
        default:
            return Key::Other;
    }
}

// Keys that repeat while held: seeking and stepping, as in other players.
bool repeats(CZCPlayerView::Key key) {
    using Key = CZCPlayerView::Key;
    return key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down ||
           key == Key::FrameForward || key == Key::FrameBack || key == Key::VolumeUp ||
           key == Key::VolumeDown;
}

// The kind's own files first (from the skin's texts when it has them), then both kinds, since
// either opens by its content, then every file.
FileChooser::Request chooserRequest(MovieKind kind, const PlayerHost::FileChoice& choice) {
    const bool zcd = kind == MovieKind::ZCD;
    FileChooser::Request request;
    request.title = zcd ? "Open a published demo" : "Open a document";
    request.filters = FileChooser::parseFilterText(choice.filter);
    if (request.filters.empty())
        request.filters = {zcd ? FileChooser::Filter{"Published demos (*.zcd)", {"*.zcd"}}
                               : FileChooser::Filter{"Documents (*.zcs)", {"*.zcs"}},
                           {"All files", {"*"}}};
    request.filters.insert(request.filters.begin() + 1,
                           {"Lumenreel movies (*.zcd, *.zcs)", {"*.zcd", "*.zcs"}});
    return request;
}

// The portal's name for the window its chooser is to sit on; empty where there is none.
std::string portalWindowHandle(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    char handle[32];
    std::snprintf(handle, sizeof handle, "x11:%lx",
                  static_cast<unsigned long>(info.info.x11.window));
    return handle;
}

class Shell : public PlayerHost {
public:
    Shell(const ProgramResources& resources, PlayerMemory& memory)
        : m_dialog(resources, m_clock, systemOutputDevices()),
          m_memory(memory),
          m_chooser(FileChooser::find(), [this] { postChooserAnswer(); }) {}

    int run(std::optional<std::future<MovieFile>> movie, std::optional<int> scale) {
        m_window.reset(SDL_CreateWindow(CZephyrcastPlayerDlg::kTitle, SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, 260, 266,
                                        SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE |
                                            SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI));
        if (!m_window) {
            std::fprintf(stderr, "lumenreel-player: cannot open a window: %s\n", SDL_GetError());
            return 1;
        }
        m_presenter = makePresenter();
        if (!m_presenter)
            return 1;
        m_dialog.Window().View().SetPresenterScales(m_presenter->ScalesMovie());
        m_loadEvent = SDL_RegisterEvents(2);
        m_chooserEvent = m_loadEvent + 1;
        SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
        SDL_SetWindowHitTest(m_window.get(), &Shell::hitTest, this);
        m_scale =
            scale ? *scale : decideDeviceScale(environmentScaleHints(xftDpiOf(m_window.get())));
        m_dialog.SetDeviceScale(m_scale);
        m_dialog.SetHost(*this);
        m_dialog.SetErrorLog(stderr);
        m_dialog.SetMemory(m_memory);
        followWindowSize();
        m_dialog.OnInitDialog();
        // The view's first paint applies again the movie it holds, making its sound afresh; done
        // before there is one, the movie opened next is applied and its sound made once.
        m_dialog.Window().View().Paint();
        if (movie) {
            m_dialog.OpenMovie(movie->get());
            // The movie asked for by name cannot be played: the reason is on stderr already.
            if (!m_dialog.HasMovie())
                return 1;
        } else if (!m_dialog.HasEmbeddedZCD() && !m_dialog.HasEmbeddedZCS()) {
            m_dialog.FitWindowToMovie();
        }
        // The window appears with its first picture, drawn by a first tick while it is hidden.
        m_dialog.OnTimer();
        SDL_ShowWindow(m_window.get());
        m_shown = true;
        Present();
        const int exitCode = loop();
        m_dialog.KeepInMemory();
        return exitCode;
    }

    Rect WindowScreenRect() override {
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(m_window.get(), &x, &y);
        SDL_GetWindowSize(m_window.get(), &width, &height);
        return {x, y, x + width, y + height};
    }

    std::optional<Point> CursorPosition() override { return screenMouse(); }

    // Every tick's Present composes and compares the whole window, so no area needs marking.
    void Invalidate(bool /*erase*/) override {}

    // Shows what changed in the window: all of it when the system lost what was shown or the
    // compose drew the whole, else only the parts drawn.
    void Present() override {
        const bool changed = m_dialog.Compose();
        // A hidden window keeps nothing drawn into it; it is drawn whole once shown.
        if (!m_shown)
            return;
        const bool exposed = std::exchange(m_exposed, false);
        WindowPresenter::Changes changes = std::vector<Rect>{};
        if (exposed || (changed && !m_dialog.ComposedParts()))
            changes.reset();
        else if (changed)
            changes = m_dialog.ComposedParts();
        m_presenter->Show(m_dialog.Picture(), changes, m_dialog.Window().View().GetMovieLayer());
    }

    // The window manager's full screen, so desktop panels make way; the window first covers the
    // display itself, for a display without a window manager, where the request goes unanswered.
    void FullScreenChanged(bool fullScreen) override {
        m_fullScreen = fullScreen;
        if (fullScreen) {
            m_restoreRect = WindowScreenRect();
            const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window.get()));
            SDL_Rect bounds{0, 0, 0, 0};
            if (SDL_GetDisplayBounds(display, &bounds) == 0) {
                SDL_SetWindowPosition(m_window.get(), bounds.x, bounds.y);
                SDL_SetWindowSize(m_window.get(), bounds.w, bounds.h);
            }
            SDL_SetWindowFullscreen(m_window.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
            SDL_RaiseWindow(m_window.get());
        } else {
            SDL_SetWindowFullscreen(m_window.get(), 0);
            SDL_SetWindowSize(m_window.get(), m_restoreRect.width(), m_restoreRect.height());
            SDL_SetWindowPosition(m_window.get(), m_restoreRect.left, m_restoreRect.top);
        }
        followWindowSize();
    }

    // The window has no frame of the window manager's: its edges resize it.
    static SDL_HitTestResult SDLCALL hitTest(SDL_Window* window, const SDL_Point* point,
                                             void* shell) {
        int width = 0, height = 0;
        SDL_GetWindowSize(window, &width, &height);
        // The bands are as wide as the skin's edges: in skin pixels.
        const Shell& self = *static_cast<const Shell*>(shell);
        const int scale = self.m_scale;
        switch (windowEdgeAt({point->x / scale, point->y / scale}, {width / scale, height / scale},
                             self.m_fullScreen)) {
            case WindowEdge::top:
                return SDL_HITTEST_RESIZE_TOP;
            case WindowEdge::bottom:
                return SDL_HITTEST_RESIZE_BOTTOM;
            case WindowEdge::left:
                return SDL_HITTEST_RESIZE_LEFT;
            case WindowEdge::right:
                return SDL_HITTEST_RESIZE_RIGHT;
            case WindowEdge::topLeft:
                return SDL_HITTEST_RESIZE_TOPLEFT;
            case WindowEdge::topRight:
                return SDL_HITTEST_RESIZE_TOPRIGHT;
            case WindowEdge::bottomLeft:
                return SDL_HITTEST_RESIZE_BOTTOMLEFT;
            case WindowEdge::bottomRight:
                return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
            case WindowEdge::none:
                break;
        }
        return SDL_HITTEST_NORMAL;
    }

    void Close() override { m_quit = true; }
    void Minimise() override { SDL_MinimizeWindow(m_window.get()); }
    // The frame shows its maximised or restored look by itself.
    void Maximise() override { SDL_MaximizeWindow(m_window.get()); }
    void Restore() override { SDL_RestoreWindow(m_window.get()); }

    void MoveWindowTo(Point topLeft) override {
        SDL_SetWindowPosition(m_window.get(), topLeft.x, topLeft.y);
    }

    void PlaceWindow(const Rect& rect) override {
        SDL_SetWindowSize(m_window.get(), rect.width(), rect.height());
        SDL_SetWindowPosition(m_window.get(), rect.left, rect.top);
        followWindowSize();
    }

    Rect UsableArea() override {
        int display = SDL_GetWindowDisplayIndex(m_window.get());
        SDL_Rect bounds{0, 0, 1024, 768};
        if (display < 0 || SDL_GetDisplayUsableBounds(display, &bounds) != 0)
            SDL_GetDisplayUsableBounds(0, &bounds);
        return Rect{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    }

    void SetMinimumSize(Size size) override {
        SDL_SetWindowMinimumSize(m_window.get(), size.width, size.height);
    }

    void SetTitle(const std::string& title) override {
        SDL_SetWindowTitle(m_window.get(), title.c_str());
    }

    // Without one the dialog offers its own list; while one is open, it answers.
    bool ChooseFile(MovieKind kind, const FileChoice& choice) override {
        if (!m_chooser.available())
            return false;
        m_chooser.ask(chooserRequest(kind, choice), portalWindowHandle(m_window.get()));
        return true;
    }

    // SDL_PushEvent is safe from any thread.
    void PostLoadMessage(MovieKind kind) override {
        SDL_Event event{};
        event.type = m_loadEvent;
        event.user.code = kind == MovieKind::ZCD ? 0 : 1;
        SDL_PushEvent(&event);
    }

private:
    // From the chooser's thread.
    void postChooserAnswer() {
        SDL_Event event{};
        event.type = m_chooserEvent;
        SDL_PushEvent(&event);
    }

    // The renderer scales the movie on a graphics card, or when asked to (LUMENREEL_SCALING=gpu);
    // otherwise the window is drawn on the processor and shown through its own surface.
    std::unique_ptr<WindowPresenter> makePresenter() {
        const char* asked = std::getenv("LUMENREEL_SCALING");
        std::optional<ScalingRequest> request = parseScalingRequest(asked ? asked : "");
        if (!request) {
            std::fprintf(stderr,
                         "lumenreel-player: LUMENREEL_SCALING=%s is none of auto, cpu, gpu; "
                         "choosing by the machine\n",
                         asked);
            request = ScalingRequest::Automatic;
        }
        if (chooseMovieScaling(*request, hasGraphicsDevice(), probeRenderer) ==
            MovieScaling::Renderer)
            if (std::unique_ptr<RendererPresenter> presenter =
                    RendererPresenter::Create(m_window.get()))
                return presenter;
        if (*request == ScalingRequest::Renderer)
            std::fprintf(stderr,
                         "lumenreel-player: no renderer for the window (%s); the movie is scaled "
                         "on the processor\n",
                         SDL_GetError());
        // On X11 the surface is shared memory the server copies from; SDL would otherwise put
        // a GL texture behind it, which without a graphics card (virtual machines, remote
        // desktops) is emulated on the processor at several times the cost.
        if (std::string_view(SDL_GetCurrentVideoDriver()) == "x11")
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (!SDL_GetWindowSurface(m_window.get())) {
            std::fprintf(stderr, "lumenreel-player: cannot draw in the window: %s\n",
                         SDL_GetError());
            return nullptr;
        }
        return std::make_unique<SurfacePresenter>(m_window.get());
    }

    void followWindowSize() {
        int width = 0, height = 0;
        SDL_GetWindowSize(m_window.get(), &width, &height);
        m_dialog.WindowResized(width, height);
    }

    // Over our window SDL's own mouse state follows every motion event; the global query can
    // answer from a cache that only raw input events refresh, which not every X server sends.
    Point screenMouse() {
        int x = 0, y = 0;
        if (SDL_GetMouseFocus() == m_window.get()) {
            SDL_GetMouseState(&x, &y);
            const Rect window = WindowScreenRect();
            return {window.left + x, window.top + y};
        }
        SDL_GetGlobalMouseState(&x, &y);
        return {x, y};
    }

    // Events are polled, not waited for: SDL wakes a waiting loop through a second X
    // connection, and a wake-up still on its way when the window closes ends the program with
    // an X error instead of its exit code.
    int loop() {
        Uint32 nextTick = SDL_GetTicks();
        while (!m_quit) {
            SDL_Event event;
            while (!m_quit && SDL_PollEvent(&event))
                handle(event);
            if (m_quit)
                break;
            const Sint32 untilTick = static_cast<Sint32>(nextTick - SDL_GetTicks());
            if (untilTick <= 0) {
                nextTick = SDL_GetTicks() + CZCPlayerView::kTimerPeriodMs;
                m_dialog.OnTimer();
            } else {
                SDL_Delay(static_cast<Uint32>(std::min<Sint32>(untilTick, kInputPollMs)));
            }
        }
        return 0;
    }

    void handle(const SDL_Event& event) {
        PlayerWindow& window = m_dialog.Window();
        if (event.type == m_loadEvent) {
            if (event.user.code == 0)
                m_dialog.LoadZCD();
            else
                m_dialog.LoadZCS();
            return;
        }
        if (event.type == m_chooserEvent) {
            if (std::optional<ChooserAnswer> answer = m_chooser.takeAnswer())
                m_dialog.ChooserAnswered(*answer);
            return;
        }
        switch (event.type) {
            case SDL_QUIT:
                m_quit = true;
                break;
            case SDL_WINDOWEVENT:
                handleWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
                // Escape is no way out: only F2, q and the close button end the player.
                if (event.key.keysym.sym == SDLK_F3)
                    m_dialog.LoadZCS();
                else if (event.key.keysym.sym == SDLK_F4)
                    m_dialog.LoadZCD();
                else if (const CZCPlayerView::Key key = viewKey(event.key.keysym);
                         !event.key.repeat || repeats(key))
                    m_dialog.KeyDown(key);
                break;
            case SDL_MOUSEWHEEL:
                window.MouseWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                                  : event.wheel.y);
                break;
            case SDL_MOUSEMOTION:
                window.MouseMove({event.motion.x, event.motion.y}, screenMouse());
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    const Rect screen = WindowScreenRect();
                    window.MouseDown({event.button.x, event.button.y}, screenMouse(),
                                     {screen.left, screen.top}, event.button.clicks == 2);
                } else if (event.button.button == SDL_BUTTON_RIGHT) {
                    window.RightClick({event.button.x, event.button.y});
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (event.button.button == SDL_BUTTON_LEFT)
                    window.MouseUp({event.button.x, event.button.y});
                break;
            case SDL_DROPFILE:
                if (event.drop.file) {
                    std::filesystem::path path = event.drop.file;
                    SDL_free(event.drop.file);
                    m_dialog.OpenMovieFile(path);
                }
                break;
            default:
                break;
        }
    }

    void handleWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                followWindowSize();
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                m_dialog.WindowMinimised();
                break;
            case SDL_WINDOWEVENT_RESTORED:
                m_dialog.WindowRestored();
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                m_dialog.WindowMaximised();
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                m_exposed = true;
                break;
            case SDL_WINDOWEVENT_SHOWN:
                m_dialog.WindowShown();
                break;
            case SDL_WINDOWEVENT_LEAVE:
                m_dialog.Window().MouseLeave();
                break;
            case SDL_WINDOWEVENT_CLOSE:
                m_quit = true;
                break;
            default:
                break;
        }
    }

    SystemTickClock m_clock;
    // Before the dialog: its start action's worker may post until the dialog has ended it.
    Uint32 m_loadEvent = 0;
    Uint32 m_chooserEvent = 0;
    CZephyrcastPlayerDlg m_dialog;
    PlayerMemory& m_memory;
    std::unique_ptr<SDL_Window, WindowDeleter> m_window;
    // After the window: a chooser still open is closed before the window goes.
    DesktopChooser m_chooser;
    std::unique_ptr<WindowPresenter> m_presenter;
    Rect m_restoreRect;
    int m_scale = 1;
    bool m_fullScreen = false;
    bool m_quit = false;
    bool m_shown = false;
    bool m_exposed = true;
};

}  // namespace

std::optional<std::string> missingDisplayReason() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if ((x11 && *x11) || (wayland && *wayland) || (driver && *driver))
        return std::nullopt;
    return "no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); use "
           "--snapshot to draw the window into a picture instead";
}

namespace {

// SDL falls back to drawing off screen when no display answers; a window nobody can see would
// play on forever, so only a driver asked for by name may be one without a screen.
std::optional<std::string> unreachableDisplayReason() {
    const std::string_view current = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if ((current != "offscreen" && current != "dummy") || (asked && *asked))
        return std::nullopt;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return "cannot reach the display " +
           std::string(x11 && *x11 ? x11
                       : wayland   ? wayland
                                   : "") +
           "; use --snapshot to draw the window into a picture instead";
}

}  // namespace

int runPlayerWindow(const ProgramResources& resources,
                    const std::optional<std::filesystem::path>& movie, std::optional<int> scale) {
    if (std::optional<std::string> reason = missingDisplayReason()) {
        std::fprintf(stderr, "lumenreel-player: %s\n", reason->c_str());
        return 1;
    }
    // The movie is read (and a published one parsed) while the display is opened.
    std::optional<std::future<MovieFile>> movieFile;
    if (movie)
        movieFile = std::async(std::launch::async, readMovieFile, *movie);
    SdlSession sdl;
    if (!sdl.ok) {
        std::fprintf(stderr, "lumenreel-player: cannot open a window: %s\n", SDL_GetError());
        return 1;
    }
    if (std::optional<std::string> reason = unreachableDisplayReason()) {
        std::fprintf(stderr, "lumenreel-player: %s\n", reason->c_str());
        return 1;
    }
    PlayerMemory memory(PlayerMemory::xdgFiles());
    for (const std::string& message : memory.load())
        std::fprintf(stderr, "lumenreel-player: %s\n", message.c_str());
    const int exitCode = Shell(resources, memory).run(std::move(movieFile), scale);
    for (const std::string& message : memory.save())
        std::fprintf(stderr, "lumenreel-player: %s\n", message.c_str());
    return exitCode;
}

}  // namespace lumenreel
