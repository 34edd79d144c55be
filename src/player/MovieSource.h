#pragma once

#include <memory>
#include <vector>

#include "published/ZcdPrimitives.h"
#include "sound/OutputDevice.h"

class CImageExt;
class CSoundResource;

namespace lumenreel {

// A movie's soundtrack made playable, and whether it streams from compressed data.
struct MovieSound {
    std::unique_ptr<CSoundResource> resource;
    bool compressed = false;
};

// One kind of movie as the player's source adapter plays it. Frames are the playable ones, in
// playing order.
class MovieSource {
public:
    virtual ~MovieSource() = default;

    virtual std::vector<float> frameDurations() const = 0;
    virtual zcd::Size displaySize() const = 0;
    virtual zcd::Size bitmapSize() const = 0;
    // Draws frame `index` as it looks `local` seconds after its start, which is `movieTime` on
    // the movie's clock, into a 32-bit target; false when there is nothing to draw.
    virtual bool render(int index, float local, float movieTime, CImageExt& target) = 0;
    // Nothing in it when the movie has no soundtrack.
    virtual MovieSound makeSound(const OutputDeviceFactory& devices) const = 0;
};

}  // namespace lumenreel
