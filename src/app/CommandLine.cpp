#include "app/CommandLine.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <new>
#include <sstream>

namespace lumenreel {

namespace {

std::string rangeText(double min, double max) {
    std::ostringstream text;
    if (max == std::numeric_limits<double>::max())
        text << "a number of " << min << " or more";
    else
        text << "a number from " << min << " to " << max;
    return text.str();
}

}  // namespace

CLI::Validator finiteNumber(double min, double max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            double value = 0;
            if (CLI::detail::lexical_cast(text, value) && std::isfinite(value) && value >= min &&
                value <= max)
                return {};
            return "expected " + rangeText(min, max) + ", got " + text;
        },
        "NUMBER");
}

int runGuarded(const char* program, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", program);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
    }
    return 2;
}

}  // namespace lumenreel
