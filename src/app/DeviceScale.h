#pragma once

#include <optional>
#include <string>

namespace lumenreel {

// What the user and the desktop say of the screen's scale, each as its text, or nothing where it
// is not set.
struct ScaleHints {
    std::optional<std::string> own;            // LUMENREEL_SCALE
    std::optional<std::string> gdkScale;       // GDK_SCALE
    std::optional<std::string> xftDpi;         // the display's X resource Xft.dpi
    std::optional<std::string> qtScaleFactor;  // QT_SCALE_FACTOR
};

// The skin is drawn for these scales; a larger one would only enlarge the 3x pictures.
inline constexpr int kMaxDeviceScale = 3;
// Dots an inch at scale 1.
inline constexpr double kBaseDpi = 96.0;

// The device scale from the first hint in that order that holds a positive number (Xft.dpi read
// over kBaseDpi), rounded to the nearest whole scale from 1 to kMaxDeviceScale; 1 without one.
int decideDeviceScale(const ScaleHints& hints);

// The environment's hints, with the display's Xft.dpi as the caller read it.
ScaleHints environmentScaleHints(std::optional<std::string> xftDpi);

}  // namespace lumenreel
