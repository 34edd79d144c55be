#pragma once

#include <cstdint>

namespace lumenreel {

// The millisecond tick counter the playback clock runs on; an interface so tests drive time.
class TickClock {
public:
    virtual ~TickClock() = default;
    virtual std::uint32_t now() = 0;
};

// Milliseconds of the monotonic clock, wrapping at 2^32 like the counter it stands in for.
class SystemTickClock : public TickClock {
public:
    std::uint32_t now() override;
};

// Milliseconds from `before` to `now`, right across a wrap of the counter.
inline std::int32_t ticksBetween(std::uint32_t before, std::uint32_t now) {
    return static_cast<std::int32_t>(now - before);
}

}  // namespace lumenreel
