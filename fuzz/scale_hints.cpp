#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/DeviceScale.h"

// The scale hints are the environment's and the display's text, which anything may have set:
// the four hints are the input's lines (a missing line is an unset hint). The scale decided is
// always one the skin is drawn for.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    lumenreel::ScaleHints hints;
    for (std::optional<std::string>* hint :
         {&hints.own, &hints.gdkScale, &hints.xftDpi, &hints.qtScaleFactor}) {
        if (text.empty())
            break;
        const std::size_t end = text.find('\n');
        *hint = std::string(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    const int scale = lumenreel::decideDeviceScale(hints);
    if (scale < 1 || scale > lumenreel::kMaxDeviceScale)
        __builtin_trap();
    return 0;
}
