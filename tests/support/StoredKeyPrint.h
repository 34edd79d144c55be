#pragma once

#include <ostream>
#include <string>

#include "storage/StoredKey.h"

// Key trees in test failures as names, data and children rather than raw bytes.
inline void PrintTo(const StoredKey& key, std::ostream* out) {
    *out << (key.id ? std::to_string(key.id) : key.name);
    if (!key.data.empty()) {
        *out << " [";
        for (std::uint8_t byte : key.data)
            *out << "0123456789abcdef"[byte >> 4] << "0123456789abcdef"[byte & 15];
        *out << "]";
    }
    if (!key.children.empty()) {
        *out << " {";
        for (const StoredKey& child : key.children) {
            *out << " ";
            PrintTo(child, out);
        }
        *out << " }";
    }
}
