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

std::optional<double> parseMovieTime(const std::string& text) {
    double seconds = 0;
    std::size_t start = 0;
    // Up to two "N:" fields before the seconds, each a whole number.
    for (int fields = 0; fields < 3; ++fields) {
        const std::size_t colon = text.find(':', start);
        const bool last = colon == std::string::npos;
        const std::string part = text.substr(start, last ? std::string::npos : colon - start);
        double value = 0;
        const bool digitsOnly =
            !part.empty() && part.find_first_not_of("0123456789") == std::string::npos;
        if (last) {
            // Seconds after a colon are below 60 and written as digits with an optional fraction.
            const bool plain = part.find_first_not_of("0123456789.") == std::string::npos;
            if (part.empty() || (fields > 0 && !plain) || !CLI::detail::lexical_cast(part, value) ||
                !std::isfinite(value) || value < 0 || (fields > 0 && value >= 60))
                return std::nullopt;
            return seconds * 60 + value;
        }
        if (!digitsOnly || !CLI::detail::lexical_cast(part, value) || (fields > 0 && value >= 60))
            return std::nullopt;
        seconds = seconds * 60 + value;
        start = colon + 1;
    }
    return std::nullopt;
}

CLI::Validator movieTime() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::optional<double> seconds = parseMovieTime(text);
            if (!seconds)
                return "expected a time in seconds (75.5) or minutes:seconds (1:15.5), got " + text;
            std::ostringstream written;
            written.precision(17);
            written << *seconds;
            text = written.str();
            return {};
        },
        "TIME");
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
