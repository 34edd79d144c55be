#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace lumenreel {

// A time or a rate given on the command line: a finite number from min to max. NaN and
// infinities read as numbers but would run a command on nothing or forever.
CLI::Validator finiteNumber(double min, double max = std::numeric_limits<double>::max());

// A moment of a movie given on the command line: seconds ("75.5") or minutes and seconds
// ("1:15.5", "1:02:03" with hours). Rewrites the text as seconds for the option to read.
CLI::Validator movieTime();
// The seconds a movie time reads as; nothing for text that is not one.
std::optional<double> parseMovieTime(const std::string& text);

// Runs a program's body: what escapes it (memory running out, a library's exception) ends as one
// line "PROGRAM: reason" on stderr and exit code 2 instead of an abort.
int runGuarded(const char* program, const std::function<int()>& body);

}  // namespace lumenreel
