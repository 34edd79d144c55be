#pragma once

#include <optional>
#include <string>

struct SDL_Window;

namespace lumenreel {

// The X resource Xft.dpi of the window's display (the desktop's font resolution, which HiDPI
// desktops raise); nothing off X11 or where the desktop does not set it.
std::optional<std::string> xftDpiOf(SDL_Window* window);

}  // namespace lumenreel
