#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One key of the keyed form as it lies in the file: its name (or number), its data (a key stored
// with no bytes has none) and the keys under it. Objects of a kind this program does not know keep
// their keys this way, so that writing them back loses nothing.
struct StoredKey {
    std::string name;
    std::uint32_t id = 0;  // a numbered key when not 0
    bool caseSensitive = true;
    std::vector<std::uint8_t> data;
    std::vector<StoredKey> children;

    bool operator==(const StoredKey&) const = default;
};
