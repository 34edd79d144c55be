#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "sound/OutputDevice.h"

namespace lumenreel {

// How fast the player plays, as a factor of real time, read by the devices it opens from
// whichever thread feeds them. A device takes the speed when it opens or resets, so a change
// is heard once the sound restarts.
class PlaybackSpeed {
public:
    static constexpr float kSlowest = 0.5f;
    static constexpr float kFastest = 2.0f;

    float value() const { return m_value.load(); }
    void set(float value);
    // The next step up (+1) or down (-1) of ×0.5, ×0.75, ×1, ×1.25, ×1.5, ×1.75, ×2.
    static float stepped(float from, int direction);
    // As the player shows it: "×1.5".
    static std::string name(float speed);

private:
    std::atomic<float> m_value{1.0f};
};

// Devices from the inner factory that play 16-bit sound at the speed, keeping its pitch
// (time-stretched). position() counts the bytes of what they were given that have been heard,
// so it keeps the soundtrack's time at any speed.
OutputDeviceFactory timeStretchedDevices(OutputDeviceFactory inner,
                                         std::shared_ptr<const PlaybackSpeed> speed);

}  // namespace lumenreel
