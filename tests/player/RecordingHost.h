#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/PlayerHost.h"

namespace lumenreel::test {

// A window system that answers what the test set and writes down, in order, what it was asked
// to do. Only the posted load may come from another thread.
class RecordingHost : public PlayerHost {
public:
    Rect screen;
    std::optional<Point> cursor;
    Rect usableArea{0, 0, 1024, 768};
    bool hasChooser = true;
    std::vector<MovieKind> chosen;
    Rect placed;
    std::string title;
    std::vector<std::string> calls;
    std::atomic<bool> loadPosted{false};
    std::atomic<MovieKind> postedKind{MovieKind::ZCD};

    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    Rect WindowScreenRect() override { return screen; }
    std::optional<Point> CursorPosition() override { return cursor; }
    void Invalidate(bool erase) override {
        calls.push_back(erase ? "invalidate all" : "invalidate");
    }
    void Present() override { calls.push_back("present"); }
    void FullScreenChanged(bool fullScreen) override {
        calls.push_back(fullScreen ? "full screen" : "windowed");
    }
    void Close() override { calls.push_back("close"); }
    void Minimise() override { calls.push_back("minimise"); }
    void Maximise() override { calls.push_back("maximise"); }
    void Restore() override { calls.push_back("restore"); }
    void MoveWindowTo(Point topLeft) override {
        calls.push_back("move to " + std::to_string(topLeft.x) + "," + std::to_string(topLeft.y));
    }
    void PlaceWindow(const Rect& rect) override {
        placed = rect;
        calls.push_back("place");
    }
    Rect UsableArea() override { return usableArea; }
    void SetMinimumSize(Size) override { calls.push_back("minimum size"); }
    void SetTitle(const std::string& text) override { title = text; }
    bool ChooseFile(MovieKind kind, const FileChoice&) override {
        if (hasChooser)
            chosen.push_back(kind);
        return hasChooser;
    }
    void PostLoadMessage(MovieKind kind) override {
        postedKind = kind;
        loadPosted = true;
    }
};

}  // namespace lumenreel::test
