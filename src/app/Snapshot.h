#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/ExeResManipulator.h"
#include "images/ImageExt.h"
#include "player/ViewGeometry.h"

namespace lumenreel {

// The whole player window at one movie time, drawn without a display.
struct SnapshotOptions {
    std::optional<std::filesystem::path> movie;  // else the embedded movie, if any
    float at = 0.0f;
    std::optional<Size> size;  // else the size the window takes for the movie
    bool fullScreen = false;
    int scale = 1;  // device pixels a skin pixel, as on a HiDPI screen
};

// The usable area the window is fitted into when no size is given, at scale 1; a scaled
// snapshot's screen is as many times larger.
inline constexpr Rect kSnapshotScreen{0, 0, 1920, 1080};

// False (with the reason) when the window could not be drawn. A movie that fails to load still
// gives the picture of the window showing why, as the window would; loadFailure (when given)
// then says why too.
bool renderSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                    CImageExt& picture, std::string& error, std::string* loadFailure = nullptr);
// Writes the picture; a movie that fails to load is a failure here, with its reason.
bool writeSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                   const std::filesystem::path& output, std::string& error);

}  // namespace lumenreel
