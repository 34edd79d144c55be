#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/MovieKind.h"
#include "player/ViewGeometry.h"

namespace lumenreel {

// What the player asks of the window system around it. The shell, the snapshot and the tests
// each answer it once. Every operation is called on the UI thread except PostLoadMessage, which
// the start action calls from its worker thread.
class PlayerHost {
public:
    // The kind of file offered when a movie is chosen, in the skin's words.
    struct FileChoice {
        std::string defaultExtension;
        std::string filter;
    };

    // What a chooser asked through ChooseFile answered; problems met on the way (a chooser that
    // failed before another one answered) come along to be shown.
    struct ChooserAnswer {
        enum class Outcome { chosen, cancelled, noChooser };
        Outcome outcome = Outcome::cancelled;
        std::filesystem::path file;
        std::vector<std::string> problems;
    };

    virtual ~PlayerHost() = default;

    // Where the window is on the screen.
    virtual Rect WindowScreenRect() = 0;
    // Where the mouse is on the screen; nothing when it cannot be read.
    virtual std::optional<Point> CursorPosition() = 0;
    // The view's picture changed; with erase, what lies around it too.
    virtual void Invalidate(bool erase) = 0;
    // The tick is over: the window is shown again where it looks different.
    virtual void Present() = 0;

    // The window covers the display, or comes back from it.
    virtual void FullScreenChanged(bool fullScreen) = 0;
    virtual void Close() = 0;
    virtual void Minimise() = 0;
    virtual void Maximise() = 0;
    virtual void Restore() = 0;
    // The top strip is being dragged: the window's top-left corner goes here.
    virtual void MoveWindowTo(Point topLeft) = 0;
    // The window placed around a movie.
    virtual void PlaceWindow(const Rect& rect) = 0;
    // The usable area of the display the window is on.
    virtual Rect UsableArea() = 0;
    virtual void SetMinimumSize(Size size) = 0;
    // The window's title, as the desktop shows it in its task list.
    virtual void SetTitle(const std::string& title) = 0;

    // Opens the desktop's file chooser without waiting for it; its ChooserAnswer reaches the
    // dialog later, on the UI thread. False when there is no chooser to ask.
    virtual bool ChooseFile(MovieKind kind, const FileChoice& choice) = 0;
    // From the start action's worker thread: the UI thread is to load the embedded movie.
    virtual void PostLoadMessage(MovieKind kind) = 0;
};

}  // namespace lumenreel
