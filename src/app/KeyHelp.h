#pragma once

#include <string>
#include <vector>

namespace lumenreel {

// The keys of the player, one "key  action" line each, as the help overlay shows them.
std::vector<std::string> keyHelpLines();

}  // namespace lumenreel
