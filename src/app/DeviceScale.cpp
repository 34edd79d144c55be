#include "app/DeviceScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace lumenreel {
namespace {

// The whole text as a positive finite number; nothing for anything else.
std::optional<double> positiveNumber(const std::optional<std::string>& text) {
    if (!text)
        return std::nullopt;
    double value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, failed] = std::from_chars(text->data(), end, value);
    if (failed != std::errc() || stop != end || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

int wholeScale(double scale) {
    return static_cast<int>(std::clamp(std::round(scale), 1.0, double{kMaxDeviceScale}));
}

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

int decideDeviceScale(const ScaleHints& hints) {
    for (const std::optional<std::string>* scale : {&hints.own, &hints.gdkScale})
        if (const std::optional<double> value = positiveNumber(*scale))
            return wholeScale(*value);
    if (const std::optional<double> dpi = positiveNumber(hints.xftDpi))
        return wholeScale(*dpi / kBaseDpi);
    if (const std::optional<double> value = positiveNumber(hints.qtScaleFactor))
        return wholeScale(*value);
    return 1;
}

ScaleHints environmentScaleHints(std::optional<std::string> xftDpi) {
    return {variable("LUMENREEL_SCALE"), variable("GDK_SCALE"), std::move(xftDpi),
            variable("QT_SCALE_FACTOR")};
}

}  // namespace lumenreel
