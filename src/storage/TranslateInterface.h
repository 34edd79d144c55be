#pragma once

#include <string>

// The text look-up every skinned control asks for its user-visible texts.
class CTranslateInterface {
public:
    virtual ~CTranslateInterface() = default;
    // Without a table, a key stands for itself.
    virtual std::string Translate(const std::string& key) { return key; }
};
