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
};

// The usable area the window is fitted into when no size is given.
inline constexpr Rect kSnapshotScreen{0, 0, 1920, 1080};

// False (with the reason) when the window could not be drawn. A movie that fails to load is
// not a failure: the picture then shows why, as the window would.
bool renderSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                    CImageExt& picture, std::string& error);
bool writeSnapshot(const ProgramResources& resources, const SnapshotOptions& options,
                   const std::filesystem::path& output, std::string& error);

}  // namespace lumenreel
