#include "cli/CommandFailure.h"

#include <cstdio>

namespace lumenreel::cli {

void failCommand(int exitCode, const std::string& subject, const std::string& reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "lumenreel: %s: %s\n", subject.c_str(), reason.c_str());
    throw CommandFailure{exitCode};
}

}  // namespace lumenreel::cli
