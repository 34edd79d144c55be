#pragma once

#include <string>

#include "cli/InfoSummary.h"

namespace lumenreel::cli {

// The summary as "key: value" lines, frames indented below "frames:".
std::string infoText(const InfoSummary& summary);

}  // namespace lumenreel::cli
