// From starting the player on the sample tour to its window showing the movie's first picture,
// as another X client sees it: ours watches the root window for the player's window, asks the
// server to report what is drawn into it (the DAMAGE extension) and reads the movie's area back
// after each drawing until it is not all black. Everything waits on X events or the player's
// exit; nothing polls a clock. Also the player's CPU time up to that moment. It runs an Xvfb of
// its own (skipped without one), so the display is the same 1920 x 1080 every time; the reading
// back (some 3 ms for the tour's 1024 x 768) is part of the time reported.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/syscall.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "XvfbServer.h"
#include "app/PlayerDialog.h"
#include "app/Snapshot.h"
#include "player/SkinEmbedded.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"

// Last: Xlib's macros (Status, None, Bool) would rename what the project's headers declare.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

namespace {

using lumenreel::Rect;
using lumenreel::Size;
using Clock = std::chrono::steady_clock;

// A player that shows nothing in this long has failed, not been slow.
constexpr int kGiveUpMs = 20000;

// Where the player lays out the movie in its window: the window the snapshot draws, since
// Xvfb's screen is the snapshot's screen and no window manager takes any of it.
struct ExpectedWindow {
    Size size;
    Rect movie;
};

std::optional<ExpectedWindow> expectedWindow(std::string& problem) {
    lumenreel::ProgramResources resources;
    resources.addCompiledIn(CZephyrcastPlayerDlg::kSkinResource, lumenreel::embeddedSkinPackage());
    lumenreel::SnapshotOptions options;
    options.movie = LUMENREEL_TOUR;
    CImageExt picture;
    if (!lumenreel::renderSnapshot(resources, options, picture, problem))
        return std::nullopt;
    lumenreel::SystemTickClock clock;
    CZephyrcastPlayerDlg dialog(resources, clock,
                                [] { return std::make_unique<lumenreel::NullOutputDevice>(); });
    dialog.OnInitDialog();
    dialog.OpenMovieFile(LUMENREEL_TOUR);
    dialog.WindowResized(picture.width(), picture.height());
    return ExpectedWindow{{picture.width(), picture.height()}, dialog.Window().View().MovieRect()};
}

// The player started on the tour, ended when this goes.
class PlayerProcess {
public:
    PlayerProcess(const std::string& display, const std::filesystem::path& home) {
        std::vector<std::string> settings = {
            "DISPLAY=" + display, "SDL_AUDIODRIVER=dummy",
            // Its settings and movie positions stay out of the home of whoever measures.
            "XDG_CONFIG_HOME=" + (home / "config").string(),
            "XDG_STATE_HOME=" + (home / "state").string()};
        std::vector<char*> environment;
        for (std::string& setting : settings)
            environment.push_back(setting.data());
        for (char** inherited = environ; *inherited; ++inherited) {
            const std::string_view name(*inherited);
            if (!name.starts_with("DISPLAY=") && !name.starts_with("SDL_AUDIODRIVER=") &&
                !name.starts_with("XDG_CONFIG_HOME=") && !name.starts_with("XDG_STATE_HOME="))
                environment.push_back(*inherited);
        }
        environment.push_back(nullptr);
        const char* argv[] = {LUMENREEL_PLAYER, LUMENREEL_TOUR, nullptr};
        if (posix_spawn(&m_pid, LUMENREEL_PLAYER, nullptr, nullptr, const_cast<char**>(argv),
                        environment.data()) != 0) {
            m_pid = -1;
            return;
        }
        m_exited = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    }
    ~PlayerProcess() {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        pollfd exit{m_exited, POLLIN, 0};
        if (poll(&exit, 1, kGiveUpMs) != 1)
            kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        close(m_exited);
    }
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    bool started() const { return m_pid > 0 && m_exited >= 0; }
    pid_t pid() const { return m_pid; }
    // Readable once the player has ended.
    int exitDescriptor() const { return m_exited; }

    // User and system time of all its threads so far, in milliseconds (to the kernel's tick).
    double cpuMilliseconds() const {
        std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // Fields after the command name, which may hold spaces, start at the third.
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string skipped;
        for (int field = 3; field < 14; ++field)
            fields >> skipped;
        double user = 0, system = 0;
        fields >> user >> system;
        return (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    pid_t m_pid = -1;
    int m_exited = -1;
};

// Windows vanish between an event and the request about them; such errors are expected here.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};

// One X connection watching top-level windows appear and be drawn into.
class WindowWatch {
public:
    explicit WindowWatch(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {
        int errorBase = 0;
        if (!m_display || !XDamageQueryExtension(m_display.get(), &m_damageEvent, &errorBase))
            return;
        XSetErrorHandler(ignoreXError);
        m_pidAtom = XInternAtom(m_display.get(), "_NET_WM_PID", False);
        XSelectInput(m_display.get(), DefaultRootWindow(m_display.get()), SubstructureNotifyMask);
        XSync(m_display.get(), False);
        m_ready = true;
    }

    bool ready() const { return m_ready; }

    // Waits until a window of the player shows a picture in the movie's area; false when the
    // player ended or took too long first.
    bool waitForPicture(const PlayerProcess& player, const ExpectedWindow& expected) {
        const auto giveUp = Clock::now() + std::chrono::milliseconds(kGiveUpMs);
        while (true) {
            while (XPending(m_display.get())) {
                XEvent event;
                XNextEvent(m_display.get(), &event);
                if (event.type == CreateNotify)
                    // Watched from its creation, so no drawing into it goes unreported.
                    XDamageCreate(m_display.get(), event.xcreatewindow.window,
                                  XDamageReportNonEmpty);
                else if (event.type == m_damageEvent + XDamageNotify &&
                         pictureShown(reinterpret_cast<const XDamageNotifyEvent&>(event),
                                      player.pid(), expected))
                    return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
            pollfd sources[] = {{ConnectionNumber(m_display.get()), POLLIN, 0},
                                {player.exitDescriptor(), POLLIN, 0}};
            if (left.count() <= 0 || poll(sources, 2, static_cast<int>(left.count())) <= 0 ||
                sources[1].revents)
                return false;
        }
    }

private:
    bool pictureShown(const XDamageNotifyEvent& damage, pid_t player,
                      const ExpectedWindow& expected) {
        // Reported again only once taken away: anything drawn after this is reported anew.
        XDamageSubtract(m_display.get(), damage.damage, None, None);
        if (windowProcess(damage.drawable) != player)
            return false;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display.get(), damage.drawable, &attributes) ||
            attributes.map_state != IsViewable || attributes.width != expected.size.width ||
            attributes.height != expected.size.height)
            return false;
        const Rect& movie = expected.movie;
        const std::unique_ptr<XImage, ImageDestroyer> image(
            XGetImage(m_display.get(), damage.drawable, movie.left, movie.top,
                      static_cast<unsigned>(movie.width()), static_cast<unsigned>(movie.height()),
                      AllPlanes, ZPixmap));
        return image && !allBlack(*image);
    }

    static bool allBlack(XImage& image) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if ((XGetPixel(&image, x, y) & 0xFFFFFF) != 0)
                    return false;
        return true;
    }

    std::optional<pid_t> windowProcess(Window window) {
        if (const auto known = m_processes.find(window); known != m_processes.end())
            return known->second;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_display.get(), window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) != Success ||
            !data)
            return std::nullopt;
        const pid_t process = count == 1 && format == 32
                                  ? static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data))
                                  : 0;
        XFree(data);
        m_processes[window] = process;
        return process;
    }

    std::unique_ptr<Display, DisplayCloser> m_display;
    int m_damageEvent = 0;
    Atom m_pidAtom = None;
    bool m_ready = false;
    // The process each window seen so far belongs to (from its _NET_WM_PID).
    std::map<Window, pid_t> m_processes;
};

void BM_FirstPictureOfTour(benchmark::State& state) {
    static XvfbServer server;
    if (!server.problem().empty()) {
        state.SkipWithError(server.problem().c_str());
        return;
    }
    static std::string problem;
    static const std::optional<ExpectedWindow> expected = expectedWindow(problem);
    if (!expected) {
        state.SkipWithError(("the tour cannot be drawn: " + problem).c_str());
        return;
    }
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("lumenreel-first-picture-" + server.display());
    double cpuMilliseconds = 0;
    for (auto _ : state) {
        WindowWatch watch(server.display());
        if (!watch.ready()) {
            state.SkipWithError("cannot watch the X server (no DAMAGE extension?)");
            break;
        }
        const Clock::time_point start = Clock::now();
        PlayerProcess player(server.display(), home);
        if (!player.started()) {
            state.SkipWithError("cannot start " LUMENREEL_PLAYER);
            break;
        }
        if (!watch.waitForPicture(player, *expected)) {
            state.SkipWithError("the player showed no picture of the movie");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        cpuMilliseconds += player.cpuMilliseconds();
    }
    std::filesystem::remove_all(home);
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuMilliseconds, benchmark::Counter::kAvgIterations);
}

double smallest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

double largest(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

}  // namespace

// Each repetition one start of the player; the median is the figure, min and max its spread.
BENCHMARK(BM_FirstPictureOfTour)
    ->Iterations(1)
    ->Repetitions(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", smallest)
    ->ComputeStatistics("max", largest);

BENCHMARK_MAIN();
