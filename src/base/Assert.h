#pragma once

#include <functional>
#include <string>

namespace lumenreel {

// A broken internal precondition: reported with its expression, file and line, then execution goes
// on, so a slip in one overlay never takes the whole player down.
struct AssertionReport {
    std::string expression;
    std::string file;
    int line = 0;
};

using AssertionHandler = std::function<void(const AssertionReport&)>;

// Prints the report to stderr (or hands it to the installed handler).
void reportAssertion(const char* expression, const char* file, int line);

// Replaces the handler (tests collect reports); returns the previous one. An empty handler restores
// printing to stderr.
AssertionHandler setAssertionHandler(AssertionHandler handler);

}  // namespace lumenreel

#define LR_ASSERT(expression) \
    ((expression) ? (void)0 : ::lumenreel::reportAssertion(#expression, __FILE__, __LINE__))
