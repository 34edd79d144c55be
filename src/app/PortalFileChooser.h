#pragma once

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "app/FileChooser.h"

namespace lumenreel {

// The desktop portal's file chooser on the session bus (org.freedesktop.portal.FileChooser).
struct PortalAnswer {
    enum class Outcome { chosen, cancelled, noPortal, failed };
    Outcome outcome = Outcome::noPortal;
    std::filesystem::path file;
    std::string problem;  // why it failed
};

// Asks the portal and blocks the calling thread, never the UI's, until the user answered, the
// portal failed, or a stop was asked for (cancelled). Reaching the bus and the portal's first
// reply are bounded in time; the user is not. parentWindow is the portal's window handle
// ("x11:1e00004") or empty.
PortalAnswer chooseThroughPortal(const FileChooser::Request& request,
                                 const std::string& parentWindow, std::stop_token stop = {});

// The session bus's address from the environment, or its usual socket in the runtime folder;
// nothing when there is neither, so no bus is started just to ask.
std::optional<std::string> sessionBusAddress();

// Where the portal answers a call made with this token: the request object it creates for it.
std::string portalRequestPath(std::string_view uniqueName, std::string_view token);

// The local file a file:// URI names; nothing for other URIs.
std::optional<std::filesystem::path> pathOfFileUri(const std::string& uri);

}  // namespace lumenreel
