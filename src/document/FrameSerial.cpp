#include "document/FrameSerial.h"

namespace lumenreel {

std::int32_t& frameSerialCounter() {
    static std::int32_t counter = 0;
    return counter;
}

}  // namespace lumenreel
