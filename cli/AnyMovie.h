#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/DocumentInput.h"
#include "player/HeadlessMovie.h"

namespace lumenreel::cli {

// A published demo or an authoring document, whichever the file's content is, rendered moment
// by moment at its picture size.
class AnyMovie {
public:
    // Fails the command with the reason when the file is neither.
    void openOrExit(const std::string& path);
    float duration() const;
    bool renderPng(float t, std::vector<std::uint8_t>& png);

private:
    HeadlessMovie m_demo;
    std::unique_ptr<OpenedDocument> m_document;
};

}  // namespace lumenreel::cli
