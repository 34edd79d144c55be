#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "cli/InfoSummary.h"

namespace lumenreel::cli {

// The summary as a JSON value, keys in the order the text lists them.
nlohmann::ordered_json infoJson(const InfoSummary& summary);

// The value written one key a line and one frame a line, everything else on the line it belongs
// to, as scripts that grep the output expect.
std::string infoJsonText(const nlohmann::ordered_json& info);

}  // namespace lumenreel::cli
