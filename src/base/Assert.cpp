#include "base/Assert.h"

#include <cstdio>
#include <mutex>

namespace lumenreel {
namespace {

std::mutex handlerMutex;
AssertionHandler& installedHandler() {
    static AssertionHandler handler;
    return handler;
}

}  // namespace

void reportAssertion(const char* expression, const char* file, int line) {
    AssertionHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = installedHandler();
    }
    if (handler) {
        handler(AssertionReport{expression, file, line});
        return;
    }
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
}

AssertionHandler setAssertionHandler(AssertionHandler handler) {
    std::lock_guard lock(handlerMutex);
    AssertionHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

}  // namespace lumenreel
