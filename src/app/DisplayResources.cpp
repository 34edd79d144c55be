#include "app/DisplayResources.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

namespace lumenreel {

std::optional<std::string> xftDpiOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return std::nullopt;
    // The resources the desktop loaded into the server, as they were when SDL connected.
    const char* resources = XResourceManagerString(info.info.x11.display);
    if (!resources)
        return std::nullopt;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database)
        return std::nullopt;
    char* type = nullptr;
    XrmValue value{};
    std::optional<std::string> dpi;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = std::string(value.addr);
    XrmDestroyDatabase(database);
    return dpi;
}

}  // namespace lumenreel
