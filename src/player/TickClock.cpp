#include "player/TickClock.h"

#include <chrono>

namespace lumenreel {

std::uint32_t SystemTickClock::now() {
    auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace lumenreel
