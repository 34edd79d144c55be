#include "app/Snapshot.h"

#include "app/PictureFile.h"
#include "app/PlayerDialog.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"

namespace lumenreel {
namespace {

// Time stands still: the picture is the moment asked for, whatever the machine's speed.
class StillClock : public TickClock {
public:
    std::uint32_t now() override { return 1000; }
};

// No window system: the window is fitted into the snapshot's screen and nothing else happens.
class NoWindowSystem : public PlayerHost {
public:
    explicit NoWindowSystem(int scale) : m_scale(scale) {}
    Rect WindowScreenRect() override { return {}; }
    std::optional<Point> CursorPosition() override { return std::nullopt; }
    void Invalidate(bool) override {}
    void Present() override {}
    void FullScreenChanged(bool) override {}
    void Close() override {}
    void Minimise() override {}
    void Maximise() override {}
    void Restore() override {}
    void MoveWindowTo(Point) override {}
    void PlaceWindow(const Rect&) override {}
    Rect UsableArea() override {
        return {kSnapshotScreen.left * m_scale, kSnapshotScreen.top * m_scale,
                kSnapshotScreen.right * m_scale, kSnapshotScreen.bottom * m_scale};
    }
    void SetMinimumSize(Size) override {}
    bool ChooseFile(MovieKind, const FileChoice&) override { return false; }
    void PostLoadMessage(MovieKind) override {}
    void SetTitle(const std::string&) override {}

private:
    int m_scale;
};

}  // namespace

bool renderSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                    CImageExt& picture, std::string& error, std::string* loadFailure) {
    StillClock clock;
    NoWindowSystem host(options.scale);
    CZephyrcastPlayerDlg dialog(resources, clock,
                                [] { return std::make_unique<NullOutputDevice>(); });
    dialog.SetHost(host);
    dialog.SetDeviceScale(options.scale);
    dialog.OnInitDialog();
    if (options.movie)
        dialog.OpenMovieFile(*options.movie);
    else if (dialog.HasEmbeddedZCD())
        dialog.LoadZCD();
    else if (dialog.HasEmbeddedZCS())
        dialog.LoadZCS();
    else
        dialog.FitWindowToMovie();
    if (loadFailure)
        *loadFailure = dialog.LoadFailure();

    if (options.size)
        dialog.WindowResized(options.size->width, options.size->height);
    if (options.fullScreen)
        dialog.SetFullScreen(true);
    // The first paint starts the view's timer, which applies the movie afresh from its start.
    dialog.Compose();
    dialog.PauseAt(options.at);
    dialog.OnTimer();
    dialog.Compose();
    const CImageExt& composed = dialog.Picture();
    if (composed.isNull() || !composed.copyTo(picture)) {
        error = "the window could not be drawn";
        return false;
    }
    return true;
}

bool writeSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                   const std::filesystem::path& output, std::string& error) {
    CImageExt picture;
    std::string loadFailure;
    const bool drawn = renderSnapshot(resources, options, picture, error, &loadFailure);
    if (!loadFailure.empty())
        error = loadFailure;
    if (!drawn || !loadFailure.empty())
        return false;
    return writePicturePng(picture, output, error);
}

}  // namespace lumenreel
