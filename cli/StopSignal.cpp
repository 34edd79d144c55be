#include "cli/StopSignal.h"

#include <csignal>

namespace lumenreel::cli {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void requestStop(int) {
    stopRequested = true;
}

}  // namespace

const std::atomic<bool>& stopOnSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    return stopRequested;
}

}  // namespace lumenreel::cli
