#include "app/Snapshot.h"

#include "app/PlayerDialog.h"
#include "base/DiskFile.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"

namespace lumenreel {
namespace {

// Time stands still: the picture is the moment asked for, whatever the machine's speed.
class StillClock : public TickClock {
public:
    std::uint32_t now() override { return 1000; }
};

}  // namespace

bool renderSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                    CImageExt& picture, std::string& error) {
    StillClock clock;
    CZephyrcastPlayerDlg dialog(resources, clock,
                                [] { return std::make_unique<NullOutputDevice>(); });
    CZephyrcastPlayerDlg::Host host;
    host.usableArea = [] { return kSnapshotScreen; };
    dialog.SetHost(std::move(host));
    dialog.OnInitDialog();
    if (options.movie)
        dialog.OpenMovieFile(*options.movie);
    else if (dialog.HasEmbeddedZCD())
        dialog.LoadZCD();
    else if (dialog.HasEmbeddedZCS())
        dialog.LoadZCS();
    else
        dialog.FitWindowToMovie();

    PlayerWindow& window = dialog.Window();
    if (options.size)
        window.SetClientSize(options.size->x, options.size->y);
    if (options.fullScreen)
        window.View().SetFullScreen(true);
    // The first paint starts the view's timer, which applies the movie afresh from its start.
    window.Compose();
    window.View().Seek(options.at);
    window.View().Pause();
    dialog.OnTimer();
    window.Compose();
    const CImageExt& composed = window.Picture();
    if (composed.isNull() || !composed.copyTo(picture)) {
        error = "the window could not be drawn";
        return false;
    }
    return true;
}

bool writeSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                   const std::filesystem::path& output, std::string& error) {
    CImageExt picture;
    if (!renderSnapshot(resources, options, picture, error))
        return false;
    CImageExt opaque;
    CDiskFile file;
    if (!opaque.from24(picture, false) ||
        !file.Open(output.string(), CDiskFile::Mode::createWrite) || !opaque.savePng(file)) {
        error = "cannot write " + output.string();
        return false;
    }
    file.Close();
    return true;
}

}  // namespace lumenreel
