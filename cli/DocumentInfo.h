#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace lumenreel {
class CZephyrcastBaseDocument;
}

namespace lumenreel::cli {

// What `info` tells of an authoring document, keys in the order the text lists them.
nlohmann::ordered_json documentInfoJson(const CZephyrcastBaseDocument& document);
std::string documentInfoText(const nlohmann::ordered_json& info);

}  // namespace lumenreel::cli
