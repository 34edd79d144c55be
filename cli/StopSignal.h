#pragma once

#include <atomic>

namespace lumenreel::cli {

// Ctrl-C (SIGINT), SIGTERM and SIGHUP set the flag instead of ending the program, so a long
// command can stop where it stands and clean up after itself.
const std::atomic<bool>& stopOnSignals();

}  // namespace lumenreel::cli
