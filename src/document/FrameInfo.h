#pragma once

#include <cstdint>
#include <string>

class CSerializeInterface;

namespace lumenreel {

// A frame's descriptive values, copied, compared and stored as one unit.
class CFrameInfo {
public:
    virtual ~CFrameInfo() = default;

    // Every field but the reserved one.
    virtual bool equals(const CFrameInfo& other) const;
    // The "FRAME_INFO_SECTION"; false when it cannot be entered.
    virtual bool serialize(CSerializeInterface& archive);

    // Position in the playing order.
    std::int32_t index = -1;
    std::int32_t reserved = 0;
    float duration = 1.0f;
    // A hidden frame is skipped in playback and adds nothing to any time.
    bool visibility = true;
    // The opacity factor of every item drawn on the frame: 1 as they are, 0 invisible.
    float transparency = 1.0f;
    std::string label;
};

}  // namespace lumenreel
